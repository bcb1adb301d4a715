#include "platform/metadata.h"
#include "platform/fd.h"
#include "platform/heif_items.h"
#include "platform/video_date.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <ctime>
#include <exiv2/exiv2.hpp>
#include <memory>
#include <mutex>
#include <string_view>
#include <vector>

namespace zelvar {

namespace {

// A photo's metadata sits at its start in JPEG, PNG, WebP, HEIF and the TIFF-based raw formats
// written by cameras; only the first bytes are read and given to exiv2 in memory. What this skips:
// metadata placed after the first 4 MB (rare: a PNG or TIFF whose text or IFD follows the image data).
constexpr std::size_t kPhotoBytes = 4 << 20;
// A JPEG keeps its metadata in the segments before its image data, where exiv2 stops reading: it is
// read up to there, as its segments' lengths say, starting with one page and then in steps of 64 KB
// (a camera's EXIF segment, its thumbnail included, holds at most 64 KB). Any other photo is read to
// kFirstBytes first and, where its date is not in them, again up to kPhotoBytes. A 5 MB photo costs a
// read of its first segments, not of 4 MB.
constexpr std::size_t kProbeBytes = 4 << 10;
constexpr std::size_t kJpegStep = 64 << 10;
constexpr std::size_t kFirstBytes = 128 << 10;
constexpr std::size_t kSidecarBytes = 1 << 20;

std::mutex xmpToolkitLock;

void lockXmp(void* data, bool lock) {
    auto* mutex = static_cast<std::mutex*>(data);
    if (lock)
        mutex->lock();
    else
        mutex->unlock();
}

void initialiseLibraries() {
    static std::once_flag once;
    std::call_once(once, [] {
        Exiv2::LogMsg::setLevel(Exiv2::LogMsg::mute);
        Exiv2::enableBMFF(true);  // HEIC, AVIF and CR3
        // The XMP toolkit is not thread-safe by itself; the listing reads on several threads.
        Exiv2::XmpParser::initialize(lockXmp, &xmpToolkitLock);
    });
}

// Whether `name` is a regular file (a link: its target) now. Asked before opening what no listing
// has just found to be one: opening a FIFO or a device can act on it.
bool isRegular(int folderFd, const char* name) {
    struct stat st;
    return fstatat(folderFd, name, &st, 0) == 0 && S_ISREG(st.st_mode);
}

// Opens a file found to be a regular one. Should it have been replaced meanwhile, O_NONBLOCK keeps a
// FIFO from blocking the open, and fstat then refuses it as it refuses a device or a socket.
int openRegular(int folderFd, const char* name, std::int64_t& size) {
    const int fd = openat(folderFd, name, O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) return -1;
    struct stat st;
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        close(fd);
        return -1;
    }
    size = st.st_size;
    return fd;
}

// Reads the first `limit` bytes of a file of `size` bytes into `bytes` (a file that grows meanwhile is
// cut at `size`) and returns how many it got; the first `have` bytes are there already. `bytes` only
// grows: a buffer kept by the caller is neither allocated nor cleared again for the next file.
std::size_t readHead(int fd, std::int64_t size, std::size_t limit, std::vector<unsigned char>& bytes,
                     std::size_t have = 0) {
    limit = std::min<std::size_t>(limit, static_cast<std::size_t>(std::max<std::int64_t>(size, 0)));
    if (bytes.size() < limit) bytes.resize(limit);
    if (have >= limit) return limit;
    return have + readAt(fd, bytes.data() + have, limit - have, static_cast<std::int64_t>(have));
}

// How many first bytes of a JPEG hold its segments up to the start of its image data, as far as the
// `have` bytes at hand tell: a segment that runs on past them asks for the next marker after it.
// Like exiv2, bytes between segments are skipped to the next 0xFF. 0 for bytes that are no JPEG.
std::size_t jpegHeadLength(const unsigned char* data, std::size_t have) {
    if (have < 2 || data[0] != 0xFF || data[1] != 0xD8) return 0;
    std::size_t at = 2;
    while (at + 4 <= have) {
        if (data[at] != 0xFF) {
            ++at;
            continue;
        }
        const unsigned char marker = data[at + 1];
        if (marker == 0xFF) {
            ++at;  // a fill byte before the marker
        } else if (marker == 0xDA || marker == 0xD9) {
            return at + 2;  // start of scan, end of image
        } else if ((marker >= 0xD0 && marker <= 0xD7) || marker == 0x01) {
            at += 2;  // a marker without a length
        } else {
            at += 2 + (std::size_t{data[at + 2]} << 8 | data[at + 3]);
        }
    }
    return at + 4;
}

// The bytes read of the file at hand, one buffer per thread: a fresh buffer per photo costs more in
// malloc than reading it. Buffers of the listing's threads go with the threads.
std::vector<unsigned char>& headBuffer() {
    thread_local std::vector<unsigned char> bytes;
    return bytes;
}

bool digits(std::string_view text, std::size_t at, std::size_t count, int& out) {
    if (at + count > text.size()) return false;
    out = 0;
    for (std::size_t k = at; k < at + count; ++k) {
        if (text[k] < '0' || text[k] > '9') return false;
        out = out * 10 + (text[k] - '0');
    }
    return true;
}

bool validDate(const DateTime& d) {
    static constexpr std::array<int, 12> days{31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (d.year < 1 || d.month < 1 || d.month > 12 || d.day < 1 || d.day > days[d.month - 1]) return false;
    const bool leap = (d.year % 4 == 0 && d.year % 100 != 0) || d.year % 400 == 0;
    if (d.month == 2 && d.day == 29 && !leap) return false;
    return d.hour <= 23 && d.minute <= 59 && d.second <= 59;
}

// Sub-second digits as nanoseconds ("5" is half a second).
int subsecondOf(std::string_view digitsText) {
    int value = 0, used = 0;
    for (char c : digitsText) {
        if (c < '0' || c > '9') break;
        if (used < 9) {
            value = value * 10 + (c - '0');
            ++used;
        }
    }
    for (; used < 9; ++used) value *= 10;
    return value;
}

std::string_view trimmed(std::string_view text) {
    const auto blank = [](char c) { return c == ' ' || c == '\0' || c == '\t' || c == '\n' || c == '\r'; };
    while (!text.empty() && blank(text.back())) text.remove_suffix(1);
    while (!text.empty() && blank(text.front())) text.remove_prefix(1);
    return text;
}

// The text of a datum as toString() gives it. An EXIF date is ASCII, read here without the string
// stream toString() builds for every value; like toString(), it ends at the first NUL.
std::string textOf(const Exiv2::Exifdatum& datum) {
    if (datum.size() == 0) return {};  // also a datum without a value, whose value() throws
    if (const auto* ascii = dynamic_cast<const Exiv2::AsciiValue*>(&datum.value()))
        return ascii->value_.substr(0, ascii->value_.find('\0'));
    return datum.toString();
}

// The datum under `key`, found by its tag and IFD numbers: ExifData::findKey compares names, which it
// builds anew for every datum it passes.
const Exiv2::Exifdatum* findTag(const Exiv2::ExifData& exif, const Exiv2::ExifKey& key) {
    const auto tag = key.tag();
    const int ifd = key.ifdId();
    for (const Exiv2::Exifdatum& datum : exif)
        if (datum.tag() == tag && datum.ifdId() == ifd) return &datum;
    return nullptr;
}

// The keys are made once: making an ExifKey from its name looks the name up in exiv2's tag tables,
// which cost more than the rest of reading a small photo's date.
std::optional<DateTaken> dateOfExif(const Exiv2::ExifData& exif) {
    struct Tag {
        Exiv2::ExifKey date, subsecond;
    };
    static const std::array<Tag, 3> tags{{
        {Exiv2::ExifKey("Exif.Photo.DateTimeOriginal"), Exiv2::ExifKey("Exif.Photo.SubSecTimeOriginal")},
        {Exiv2::ExifKey("Exif.Image.DateTimeOriginal"), Exiv2::ExifKey("Exif.Photo.SubSecTimeOriginal")},
        {Exiv2::ExifKey("Exif.Photo.DateTimeDigitized"), Exiv2::ExifKey("Exif.Photo.SubSecTimeDigitized")},
    }};
    for (const Tag& tag : tags) {
        const Exiv2::Exifdatum* date = findTag(exif, tag.date);
        if (!date) continue;
        auto taken = parseDateTaken(textOf(*date));
        if (!taken) continue;
        if (const Exiv2::Exifdatum* sub = findTag(exif, tag.subsecond))
            taken->subsecond = subsecondOf(trimmed(textOf(*sub)));
        return taken;
    }
    return std::nullopt;
}

std::optional<DateTaken> dateOfXmp(const Exiv2::XmpData& xmp) {
    if (xmp.empty()) return std::nullopt;
    static const std::array<Exiv2::XmpKey, 3> keys{Exiv2::XmpKey("Xmp.exif.DateTimeOriginal"),
                                                   Exiv2::XmpKey("Xmp.photoshop.DateCreated"),
                                                   Exiv2::XmpKey("Xmp.xmp.CreateDate")};
    for (const Exiv2::XmpKey& key : keys) {
        const auto it = xmp.findKey(key);
        if (it == xmp.end()) continue;
        if (auto taken = parseDateTaken(it->toString())) return taken;
    }
    return std::nullopt;
}

bool sameTag(const unsigned char* at, const char* tag) { return std::memcmp(at, tag, 4) == 0; }

// ISO base media files: HEIF, AVIF and CR3 are photos for exiv2; the other brands (mp4, qt, 3gp, m4v...)
// and QuickTime files that start with another atom are videos.
bool isVideo(const unsigned char* head, std::size_t size) {
    if (size < 12) return false;
    const unsigned char* type = head + 4;
    if (sameTag(type, "ftyp")) {
        for (const char* brand :
             {"heic", "heix", "heim", "heis", "hevc", "hevx", "mif1", "msf1", "avif", "avis", "crx ", "jxl "})
            if (sameTag(head + 8, brand)) return false;
        return true;
    }
    for (const char* atom : {"moov", "mdat", "wide", "free", "skip", "pnot"})
        if (sameTag(type, atom)) return true;
    return false;
}

std::optional<DateTaken> sidecarDate(int folderFd, const std::string& name, const SidecarCheck& mayExist) {
    std::vector<std::string> candidates;
    const auto dot = name.rfind('.');
    if (dot != std::string::npos && dot > 0) candidates.push_back(name.substr(0, dot) + ".xmp");
    candidates.push_back(name + ".xmp");
    for (const auto& candidate : candidates) {
        if ((mayExist && !mayExist(candidate)) || !isRegular(folderFd, candidate.c_str())) continue;
        std::int64_t size = 0;
        const Fd fd(openRegular(folderFd, candidate.c_str(), size));
        if (fd.get() < 0) continue;
        std::vector<unsigned char>& bytes = headBuffer();
        const std::size_t have = readHead(fd.get(), size, kSidecarBytes, bytes);
        if (auto taken = dateTakenFromXmp(std::string(bytes.begin(), bytes.begin() + have))) return taken;
    }
    return std::nullopt;
}

// The date of a HEIF or AVIF photo's own EXIF or XMP item, read with libheif: libexiv2 0.27 finds
// them only where every item of the file lies in one piece, which is not so after exiftool (or
// another editor) has added a date. A damaged EXIF item, on which exiv2 throws, has no date.
std::optional<DateTaken> heifDate(int fd, const unsigned char* data, std::int64_t size) {
    std::optional<DateTaken> taken;
    try {
        forEachHeifItem(fd, data, size, [&](HeifItem item, const std::vector<unsigned char>& block) {
            if (item == HeifItem::exif) {
                const std::uint32_t offset = Exiv2::getULong(block.data(), Exiv2::bigEndian);
                if (offset > block.size() - 4) return false;
                Exiv2::ExifData exif;
                Exiv2::ExifParser::decode(exif, block.data() + 4 + offset,
                                          static_cast<long>(block.size() - 4 - offset));
                taken = dateOfExif(exif);
            } else {
                taken = dateTakenFromXmp(std::string(block.begin(), block.end()));
            }
            return taken.has_value();
        });
    } catch (...) {
        return std::nullopt;
    }
    return taken;
}

}  // namespace

std::optional<DateTaken> parseDateTaken(const std::string& input) {
    const std::string_view text = trimmed(input);
    DateTaken out;
    DateTime& d = out.date;
    if (!digits(text, 0, 4, d.year)) return std::nullopt;
    if (text.size() < 10 || (text[4] != ':' && text[4] != '-') || text[7] != text[4]) return std::nullopt;
    if (!digits(text, 5, 2, d.month) || !digits(text, 8, 2, d.day)) return std::nullopt;
    d.hour = d.minute = d.second = 0;
    std::size_t at = 10;
    if (at < text.size()) {
        if (text[at] != ' ' && text[at] != 'T') return std::nullopt;
        if (!digits(text, at + 1, 2, d.hour) || text.size() < at + 6 || text[at + 3] != ':' ||
            !digits(text, at + 4, 2, d.minute))
            return std::nullopt;
        at += 6;
        if (at < text.size() && text[at] == ':') {
            if (!digits(text, at + 1, 2, d.second)) return std::nullopt;
            at += 3;
            if (at < text.size() && (text[at] == '.' || text[at] == ',')) {
                const std::size_t from = ++at;
                while (at < text.size() && text[at] >= '0' && text[at] <= '9') ++at;
                if (at == from) return std::nullopt;
                out.subsecond = subsecondOf(text.substr(from, at - from));
            }
        }
        // The offset is read past, never applied: the time stays the one recorded.
        if (at < text.size()) {
            const std::string_view zone = text.substr(at);
            int h = 0, m = 0;
            const bool ok = zone == "Z" ||
                            ((zone[0] == '+' || zone[0] == '-') &&
                             ((zone.size() == 3 && digits(zone, 1, 2, h)) ||
                              (zone.size() == 5 && digits(zone, 1, 2, h) && digits(zone, 3, 2, m)) ||
                              (zone.size() == 6 && zone[3] == ':' && digits(zone, 1, 2, h) && digits(zone, 4, 2, m))));
            if (!ok || h > 23 || m > 59) return std::nullopt;
        }
    }
    if (!validDate(d)) return std::nullopt;
    return out;
}

std::optional<DateTaken> dateTakenFromXmp(const std::string& packet) {
    initialiseLibraries();
    try {
        Exiv2::XmpData xmp;
        if (Exiv2::XmpParser::decode(xmp, packet) != 0) return std::nullopt;
        return dateOfXmp(xmp);
    } catch (...) {
        return std::nullopt;
    }
}

namespace {

// What exiv2 found in a photo's bytes; `complete` is false when the bytes ended in the middle of a
// JPEG's segments (exiv2 then throws), so more of the file may hold the date.
struct PhotoScan {
    std::optional<DateTaken> taken;
    int type = Exiv2::ImageType::none;
    bool complete = true;
};

PhotoScan scanPhoto(const unsigned char* data, std::size_t size) {
    PhotoScan scan;
    if (size == 0 || size > kPhotoBytes) return scan;
    try {
        // libexiv2's own video readers (QuickTime, RIFF, Matroska, ASF) loop for minutes on some
        // damaged files and read no date the photo readers miss; videos go to libavformat.
        const int type = Exiv2::ImageFactory::getType(data, static_cast<long>(size));
        // Their type numbers, as libexiv2 0.27's video headers (which do not compile on their own) give them.
        static constexpr std::array<int, 5> refused{Exiv2::ImageType::none, 20 /* riff */, 21 /* mkv */, 22 /* qtime */,
                                                    24 /* asf */};
        if (std::find(refused.begin(), refused.end(), type) != refused.end()) return scan;
        scan.type = type;
        auto image = Exiv2::ImageFactory::open(data, static_cast<long>(size));
        if (!image.get()) return scan;
        image->readMetadata();
        scan.taken = dateOfExif(image->exifData());
        if (!scan.taken) scan.taken = dateOfXmp(image->xmpData());
    } catch (...) {
        // Every exiv2 error (Exiv2::AnyError), a bad_alloc of a hostile size and anything else: no date.
        scan.complete = false;
    }
    return scan;
}

// Reads on from the `have` bytes in `head`: a JPEG up to its image data (at most kPhotoBytes), any
// other photo to kFirstBytes. Returns how many bytes are there.
std::size_t readPhotoHead(int fd, std::int64_t size, std::vector<unsigned char>& head, std::size_t have) {
    for (;;) {
        const std::size_t jpeg = jpegHeadLength(head.data(), have);
        if (jpeg != 0 && jpeg <= have) return have;
        const std::size_t want =
            jpeg != 0 ? std::min((jpeg + kJpegStep - 1) / kJpegStep * kJpegStep, kPhotoBytes) : kFirstBytes;
        if (want <= have) return have;
        const std::size_t before = have;
        have = readHead(fd, size, want, head, have);
        if (have == before) return have;  // the file ends here, or cannot be read further
    }
}

}  // namespace

std::optional<DateTaken> dateTakenFromBytes(const unsigned char* data, std::size_t size) {
    initialiseLibraries();
    const PhotoScan scan = scanPhoto(data, size);
    if (scan.taken || scan.type != Exiv2::ImageType::bmff) return scan.taken;
    return heifDate(-1, data, static_cast<std::int64_t>(size));
}

std::optional<DateTaken> readDateTaken(int folderFd, const std::string& name, const SidecarCheck& mayExist) {
    initialiseLibraries();
    std::int64_t size = 0;
    std::optional<DateTaken> taken;
    {
        const Fd fd(openRegular(folderFd, name.c_str(), size));
        if (fd.get() < 0) return std::nullopt;
        std::vector<unsigned char>& head = headBuffer();
        std::size_t have = readHead(fd.get(), size, kProbeBytes, head);
        if (isVideo(head.data(), have)) {
            taken = videoDate(fd.get(), size);
        } else {
            have = readPhotoHead(fd.get(), size, head, have);
            PhotoScan scan = scanPhoto(head.data(), have);
            // A JPEG that exiv2 read to its image data holds no more metadata further on; one whose
            // segments it could not finish may be damaged where they were measured.
            const bool more = have < kPhotoBytes && size > static_cast<std::int64_t>(have);
            // A HEIF or AVIF photo goes to libheif instead, which reads only its item boxes and the
            // metadata items wherever they lie.
            if (!scan.taken && more && scan.type != Exiv2::ImageType::bmff &&
                (scan.type != Exiv2::ImageType::jpeg || !scan.complete)) {
                have = readHead(fd.get(), size, kPhotoBytes, head, have);
                scan = scanPhoto(head.data(), have);
            }
            taken = scan.taken;
            if (!taken && scan.type == Exiv2::ImageType::bmff) taken = heifDate(fd.get(), nullptr, size);
        }
    }
    if (!taken) taken = sidecarDate(folderFd, name, mayExist);
    // A big photo's or sidecar's bytes are not kept for the next file of this thread.
    if (headBuffer().size() > kFirstBytes) std::vector<unsigned char>().swap(headBuffer());
    return taken;
}

std::optional<DateTaken> readDateTaken(const std::string& path) {
    if (!isRegular(AT_FDCWD, path.c_str())) return std::nullopt;
    const auto slash = path.rfind('/');
    if (slash == std::string::npos) return readDateTaken(AT_FDCWD, path);
    const std::string folder = slash == 0 ? "/" : path.substr(0, slash);
    const int fd = open(folder.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return std::nullopt;
    auto taken = readDateTaken(fd, path.substr(slash + 1));
    close(fd);
    return taken;
}

std::string exiv2Version() { return Exiv2::versionString(); }

}  // namespace zelvar
