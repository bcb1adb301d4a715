#pragma once
// The date a video (MP4, MOV, M4V, 3GP) was taken, read with libavformat, for the metadata reader.
#include <cstdint>
#include <optional>

#include "platform/metadata.h"

namespace zelvar {

// The QuickTime creation date as recorded, else the movie header's time in the machine's time zone;
// `fd` is the file open for reading, `size` its size.
std::optional<DateTaken> videoDate(int fd, std::int64_t size);

}  // namespace zelvar
