#pragma once
// Photos with the metadata tags a test names, written through exiv2, for the tests that read when
// a photo was taken, and the video and HEIF samples that tests/data/metadata/make-samples made.
#include <exiv2/exiv2.hpp>
#include <map>
#include <stdexcept>
#include <string>

namespace zelvar::testing {

using Tags = std::map<std::string, std::string>;

inline const std::string kSamples = ZELVAR_METADATA_SAMPLES;

// Writes the given EXIF ("Exif.…") and XMP ("Xmp.…") tags into an image.
inline void writeTags(Exiv2::Image& image, const Tags& tags) {
    for (const auto& [key, value] : tags) {
        if (key.rfind("Xmp.", 0) == 0)
            image.xmpData()[key] = value;
        else
            image.exifData()[key] = value;
    }
    image.writeMetadata();
}

// A fresh JPEG with the given tags.
inline void writeJpeg(const std::string& path, const Tags& tags) {
    auto image = Exiv2::ImageFactory::create(Exiv2::ImageType::jpeg, path);
    if (!image.get()) throw std::runtime_error("exiv2 cannot make " + path);
    writeTags(*image, tags);
}

// The tags of a photo taken at `date` ("YYYY:MM:DD HH:MM:SS"), `subsecond` its digits after the second.
inline Tags takenAt(const std::string& date, const std::string& subsecond = "") {
    Tags tags{{"Exif.Photo.DateTimeOriginal", date}, {"Exif.Image.DateTime", "2030:01:01 00:00:00"}};
    if (!subsecond.empty()) tags["Exif.Photo.SubSecTimeOriginal"] = subsecond;
    return tags;
}

}  // namespace zelvar::testing
