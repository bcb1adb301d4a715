#pragma once
// The date a photo or video was taken, read from its own metadata (libexiv2 for photos, libheif for the
// HEIF and AVIF photos libexiv2 cannot read, libavformat for videos) or from an XMP sidecar beside it. Only regular files are opened; a FIFO, device or socket,
// an unreadable file and a damaged one have no date taken.
#include <cstddef>
#include <functional>
#include <optional>
#include <string>

#include "engine/datetime.h"

namespace zelvar {

struct DateTaken {
    DateTime date;      // wall-clock time as recorded (photos) or in the machine's time zone (videos)
    int subsecond = 0;  // nanoseconds, from SubSecTimeOriginal or the XMP fraction: orders bursts
    auto operator<=>(const DateTaken&) const = default;
};

// `name` relative to the open folder `folderFd` (AT_FDCWD for a path), an entry that a listing has just
// found to be a regular file: it is opened without a stat first. A file without a date of its own
// is looked up in NAME.xmp, then NAME.EXT.xmp. `mayExist`, when given, tells from a listing of the
// folder whether a sidecar's name can be there at all (false: it is not opened), which spares a
// folder of files without dates two lookups of missing names per file.
using SidecarCheck = std::function<bool(const std::string& name)>;
std::optional<DateTaken> readDateTaken(int folderFd, const std::string& name, const SidecarCheck& mayExist = {});
// Any path: what is no regular file is not opened.
std::optional<DateTaken> readDateTaken(const std::string& path);

// The photo metadata of bytes already in memory (no sidecar, no video), for the fuzz target.
std::optional<DateTaken> dateTakenFromBytes(const unsigned char* data, std::size_t size);
// An XMP packet (a sidecar's content).
std::optional<DateTaken> dateTakenFromXmp(const std::string& packet);

// "YYYY:MM:DD HH:MM:SS" (EXIF) or ISO 8601 as XMP and QuickTime write it ("YYYY-MM-DDTHH:MM:SS.fff+hh:mm",
// also date only). The offset does not shift the time. Invalid values (all zeros, month 13...) are none.
std::optional<DateTaken> parseDateTaken(const std::string& text);

// The versions of libexiv2, libheif and libavformat in use, for System Info ("-" for a library that
// cannot be opened).
std::string exiv2Version();
std::string heifVersion();
std::string avformatVersion();

}  // namespace zelvar
