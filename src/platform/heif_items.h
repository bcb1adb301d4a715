#pragma once
// The metadata items of a HEIF or AVIF photo, read with libheif.

#include <cstdint>
#include <functional>
#include <vector>

namespace zelvar {

enum class HeifItem {
    exif,  // an EXIF item: where its TIFF header lies after these four bytes, then the TIFF data
    xmp,   // an XMP packet
};

// Hands each EXIF and XMP item of the photo's primary image to `take`, in the file's order, until
// `take` says it has what it needs. The photo is read from the open file `fd`, or, where fd is -1,
// from the `size` bytes at `data`. A photo libheif cannot read, or a system without libheif, has none.
void forEachHeifItem(int fd, const unsigned char* data, std::int64_t size,
                     const std::function<bool(HeifItem, const std::vector<unsigned char>&)>& take);

}  // namespace zelvar
