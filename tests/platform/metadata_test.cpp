#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <exiv2/exiv2.hpp>
#include <fstream>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/dates_taken.h"
#include "platform/metadata.h"
#include "photos.h"
#include "temp_folder.h"

namespace zelvar {
namespace {

using namespace testing;

// A fresh image of `type` with the given EXIF and XMP tags, written by exiv2 itself. WebP and TIFF,
// which exiv2 cannot make from nothing, start from a blank sample.
constexpr int kWebp = -1, kTiff = -2;
void writePhoto(const std::string& path, int type, const Tags& tags) {
    if (type < 0)
        std::ofstream(path, std::ios::binary) << readFile(kSamples + (type == kWebp ? "/blank.webp" : "/blank.tif"));
    auto image = type < 0 ? Exiv2::ImageFactory::open(path) : Exiv2::ImageFactory::create(type, path);
    ASSERT_TRUE(image.get());
    for (const auto& [key, value] : tags) {
        if (key.rfind("Xmp.", 0) == 0)
            image->xmpData()[key] = value;
        else
            image->exifData()[key] = value;
    }
    image->writeMetadata();
}

std::string shown(const std::optional<DateTaken>& taken) {
    if (!taken) return "none";
    const DateTime& d = taken->date;
    char text[64];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", d.year, d.month, d.day, d.hour, d.minute,
                  d.second);
    std::string out = text;
    if (taken->subsecond != 0) out += "." + std::to_string(taken->subsecond);
    return out;
}

TEST(DateTaken, ParsesExifAndIsoTextsAndRefusesWhatIsNoDate) {
    const std::pair<const char*, const char*> cases[] = {
        {"2024:07:14 09:30:12", "2024-07-14 09:30:12"},
        {"2024:07:14 09:30:12\0", "2024-07-14 09:30:12"},
        {"  2024:07:14 09:30:12  ", "2024-07-14 09:30:12"},
        {"2024-07-14T09:30:12+02:00", "2024-07-14 09:30:12"},  // the offset does not shift it
        {"2024-07-14T09:30:12-0830", "2024-07-14 09:30:12"},
        {"2024-07-14T09:30:12Z", "2024-07-14 09:30:12"},
        {"2024-07-14T09:30:12.5", "2024-07-14 09:30:12.500000000"},
        {"2024-07-14T09:30", "2024-07-14 09:30:00"},
        {"2024-07-14", "2024-07-14 00:00:00"},
        {"2024:02:29 23:59:59", "2024-02-29 23:59:59"},
        {"0000:00:00 00:00:00", "none"},
        {"    :  :     :  :  ", "none"},
        {"", "none"},
        {"2024:13:01 10:00:00", "none"},
        {"2023:02:29 10:00:00", "none"},
        {"1900:02:29 10:00:00", "none"},
        {"2024:04:31 10:00:00", "none"},
        {"2024:07:14 24:00:00", "none"},
        {"2024:07:14 10:60:00", "none"},
        {"2024:07:14 10:00:61", "none"},
        {"2024:07-14 10:00:00", "none"},
        {"2024:07:14x10:00:00", "none"},
        {"2024-07-14T09:30:12+25:00", "none"},
        {"2024-07-14T09:30:12 garbage", "none"},
        {"2024-07", "none"},
    };
    for (const auto& [text, expected] : cases) EXPECT_EQ(shown(parseDateTaken(text)), expected) << text;
}

struct PhotoCase {
    const char* what;
    int type;
    const char* name;
    Tags tags;
    const char* expected;
};

TEST(DateTaken, ReadsTheFirstValidTagInOrderFromEveryPhotoFormat) {
    const std::string dto = "Exif.Photo.DateTimeOriginal", edit = "Exif.Image.DateTime";
    const std::vector<PhotoCase> cases = {
        {"original before everything",
         Exiv2::ImageType::jpeg,
         "a.jpg",
         {{dto, "2024:07:14 09:30:12"},
          {"Exif.Image.DateTimeOriginal", "2001:01:01 01:01:01"},
          {"Exif.Photo.DateTimeDigitized", "2002:02:02 02:02:02"},
          {"Xmp.exif.DateTimeOriginal", "2003-03-03T03:03:03"},
          {edit, "2025:01:01 00:00:00"}},
         "2024-07-14 09:30:12"},
        {"the date of the last edit is never taken",
         Exiv2::ImageType::jpeg,
         "b.jpg",
         {{edit, "2025:01:01 00:00:00"}},
         "none"},
        {"IFD0 original",
         Exiv2::ImageType::jpeg,
         "c.jpg",
         {{"Exif.Image.DateTimeOriginal", "2001:01:01 01:01:01"},
          {"Exif.Photo.DateTimeDigitized", "2002:02:02 02:02:02"}},
         "2001-01-01 01:01:01"},
        {"digitized",
         Exiv2::ImageType::jpeg,
         "d.jpg",
         {{"Exif.Photo.DateTimeDigitized", "2002:02:02 02:02:02"}},
         "2002-02-02 02:02:02"},
        {"an invalid original counts as none",
         Exiv2::ImageType::jpeg,
         "e.jpg",
         {{dto, "0000:00:00 00:00:00"}, {"Exif.Photo.DateTimeDigitized", "2002:02:02 02:02:02"}},
         "2002-02-02 02:02:02"},
        {"blank and month 13",
         Exiv2::ImageType::jpeg,
         "f.jpg",
         {{dto, "    :  :     :  :  "}, {"Exif.Photo.DateTimeDigitized", "2024:13:01 00:00:00"}},
         "none"},
        {"the offset does not shift it; sub-seconds order bursts",
         Exiv2::ImageType::jpeg,
         "g.jpg",
         {{dto, "2024:07:14 09:30:12"},
          {"Exif.Photo.OffsetTimeOriginal", "+09:00"},
          {"Exif.Photo.SubSecTimeOriginal", "07"}},
         "2024-07-14 09:30:12.70000000"},
        {"XMP original",
         Exiv2::ImageType::jpeg,
         "h.jpg",
         {{"Xmp.exif.DateTimeOriginal", "2021-03-04T05:06:07+02:00"}, {"Xmp.xmp.CreateDate", "2000-01-01T00:00:00"}},
         "2021-03-04 05:06:07"},
        {"XMP Photoshop date only",
         Exiv2::ImageType::jpeg,
         "i.jpg",
         {{"Xmp.photoshop.DateCreated", "2019-08-09"}, {"Xmp.xmp.CreateDate", "2000-01-01T00:00:00"}},
         "2019-08-09 00:00:00"},
        {"XMP create date",
         Exiv2::ImageType::jpeg,
         "j.jpg",
         {{"Xmp.xmp.CreateDate", "2018-12-31T23:59:58.25"}},
         "2018-12-31 23:59:58.250000000"},
        {"TIFF", kTiff, "k.tif", {{dto, "2017:06:05 04:03:02"}}, "2017-06-05 04:03:02"},
        {"a raw file built on TIFF (DNG)",
         kTiff,
         "l.dng",
         {{"Exif.Image.DNGVersion", "1 4 0 0"}, {"Exif.Image.Make", "Test"}, {dto, "2016:05:04 03:02:01"}},
         "2016-05-04 03:02:01"},
        {"PNG", Exiv2::ImageType::png, "m.png", {{dto, "2015:04:03 02:01:00"}}, "2015-04-03 02:01:00"},
        {"WebP", kWebp, "n.webp", {{dto, "2014:03:02 01:00:59"}}, "2014-03-02 01:00:59"},
    };
    TempFolder dir;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_NO_FATAL_FAILURE(writePhoto(dir / c.name, c.type, c.tags));
        EXPECT_EQ(shown(readDateTaken(dir / c.name)), c.expected);
        // The same bytes in memory, as the fuzz target gives them.
        const std::string bytes = readFile(dir / c.name);
        EXPECT_EQ(shown(dateTakenFromBytes(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size())),
                  c.expected);
    }
}

// The checked-in samples come from make-samples beside them.
TEST(DateTaken, ReadsHeifPhotosAndTheCreationTimesOfVideos) {
    const char* zone = std::getenv("TZ");
    const std::string before = zone ? zone : "";
    const std::pair<const char*, const char*> cases[] = {
        {"photo.heic", "2022-05-01 10:11:12.250000000"},
        {"video.mp4", "2024-07-14 07:30:12"},  // the movie header's UTC in UTC
        {"video.mov", "2023-12-24 18:45:07"},  // the local time as recorded, before the movie header's
        {"nodate.mp4", "none"},
    };
    setenv("TZ", "UTC", 1);
    tzset();
    for (const auto& [name, expected] : cases) EXPECT_EQ(shown(readDateTaken(kSamples + "/" + name)), expected) << name;
    // The movie header's time follows the machine's zone, the recorded local time does not.
    setenv("TZ", "Europe/Prague", 1);
    tzset();
    EXPECT_EQ(shown(readDateTaken(kSamples + "/video.mp4")), "2024-07-14 09:30:12");
    EXPECT_EQ(shown(readDateTaken(kSamples + "/video.mov")), "2023-12-24 18:45:07");
    // A video under another extension is still known by its content.
    TempFolder dir({{"clip.3gp", readFile(kSamples + "/video.mp4")}, {"clip.jpg", readFile(kSamples + "/video.mov")}});
    EXPECT_EQ(shown(readDateTaken(dir / "clip.3gp")), "2024-07-14 09:30:12");
    EXPECT_EQ(shown(readDateTaken(dir / "clip.jpg")), "2023-12-24 18:45:07");
    setenv("TZ", before.c_str(), 1);
    tzset();
}

std::string xmpPacket(const std::string& property) {
    return "<x:xmpmeta xmlns:x=\"adobe:ns:meta/\"><rdf:RDF xmlns:rdf=\"http://www.w3.org/1999/02/22-rdf-syntax-ns#\">"
           "<rdf:Description rdf:about=\"\" xmlns:exif=\"http://ns.adobe.com/exif/1.0/\" "
           "xmlns:xmp=\"http://ns.adobe.com/xap/1.0/\" " +
           property + "/></rdf:RDF></x:xmpmeta>";
}

TEST(DateTaken, FallsBackToAnXmpSidecarOnlyWhenTheFileHasNoDate) {
    TempFolder dir({
        {"raw1.cr2", "not a photo at all"},
        {"raw1.xmp", xmpPacket("exif:DateTimeOriginal=\"2020-02-02T20:20:20+01:00\"")},
        {"raw2.nef", ""},
        {"raw2.nef.xmp", xmpPacket("xmp:CreateDate=\"2019-09-09T09:09:09\"")},
        {"raw3.arw", ""},
        {"raw3.xmp", xmpPacket("xmp:CreateDate=\"0000-00-00T00:00:00\"")},
        {"raw3.arw.xmp", xmpPacket("xmp:CreateDate=\"2018-08-08T08:08:08\"")},
        {"raw4.orf", ""},
        {"raw4.xmp", "<x:xmpmeta broken"},
        {"own.xmp", xmpPacket("xmp:CreateDate=\"2001-01-01T01:01:01\"")},
    });
    ASSERT_NO_FATAL_FAILURE(
        writePhoto(dir / "own.jpg", Exiv2::ImageType::jpeg, {{"Exif.Photo.DateTimeOriginal", "2024:07:14 09:30:12"}}));
    const std::pair<const char*, const char*> cases[] = {
        {"raw1.cr2", "2020-02-02 20:20:20"}, {"raw2.nef", "2019-09-09 09:09:09"},
        {"raw3.arw", "2018-08-08 08:08:08"}, {"raw4.orf", "none"},
        {"own.jpg", "2024-07-14 09:30:12"},  {"gone.jpg", "none"},
    };
    for (const auto& [name, expected] : cases) EXPECT_EQ(shown(readDateTaken(dir / name)), expected) << name;
}

TEST(DateTaken, NeverOpensAFifoDeviceOrSocketAndSurvivesDamagedFiles) {
    TempFolder dir;
    ASSERT_EQ(mkfifo((dir / "pipe.jpg").c_str(), 0644), 0);
    const int sock = socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const std::string socketPath = dir / "sock.jpg";
    ASSERT_LT(socketPath.size(), sizeof address.sun_path);
    std::strcpy(address.sun_path, socketPath.c_str());
    ASSERT_EQ(bind(sock, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    // A sidecar beside them must not make them dated either.
    dir.file("pipe.xmp", xmpPacket("xmp:CreateDate=\"2018-08-08T08:08:08\""));
    // EXIF segments and boxes whose lengths point far past the end of the file.
    dir.file("huge.jpg", std::string("\xff\xd8\xff\xe1\xff\xff"
                                     "Exif\0\0II*\0\x08\0\0\0\xff\xff",
                                     22));
    dir.file("loop.tif", std::string("II*\0\x08\0\0\0\x01\0\x32\x01\x02\0\x14\0\0\0\x08\0\0\0", 22));
    dir.file("box.heic", std::string("\0\0\0\x18"
                                     "ftypheic\0\0\0\0mif1heic\xff\xff\xff\xff"
                                     "meta",
                                     32));
    dir.file("box.mp4", std::string("\0\0\0\x18"
                                    "ftypisom\0\0\0\0isomiso2\0\0\0\x10moov\xff\xff\xff\xffmvhd",
                                    36));
    dir.file("empty.jpg");
    const auto started = std::chrono::steady_clock::now();
    for (const char* name : {"pipe.jpg", "sock.jpg", "huge.jpg", "loop.tif", "box.heic", "box.mp4", "empty.jpg"})
        EXPECT_EQ(shown(readDateTaken(dir / name)), "none") << name;
    for (const char* device : {"/dev/zero", "/dev/null", "/dev/tty"})
        EXPECT_EQ(shown(readDateTaken(device)), "none") << device;
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(5));
    close(sock);
}

TEST(DatesTaken, TheSameOnOneThreadOrManyAndTakenOverOnlyFromTheSameFolder) {
    TempFolder dir, other;
    for (int k = 0; k < 150; ++k) {
        char date[32];
        std::snprintf(date, sizeof date, "2020:%02d:%02d 10:00:%02d", k % 12 + 1, k % 28 + 1, k % 60);
        writeJpeg(dir / ("p" + std::to_string(k) + ".jpg"), takenAt(date));
        if (k < 3) other.file("p" + std::to_string(k) + ".jpg");
    }
    dir.file("notes.txt");
    dir.folder("sub");
    const auto datesOn = [&](unsigned threads) {
        setListingThreads(threads, 1);
        Listing listing = listFolder(dir.path(), U"*.*", 2);
        readDatesTaken(listing);
        setListingThreads(0);
        return listing;
    };
    const Listing one = datesOn(1), many = datesOn(4);
    ASSERT_EQ(one.entries.size(), 152u);
    EXPECT_TRUE(one.takenRead);
    int dated = 0;
    for (std::size_t k = 0; k < one.entries.size(); ++k) {
        EXPECT_EQ(one.entries[k].name, many.entries[k].name);
        EXPECT_EQ(one.taken[k], many.taken[k]) << one.entries[k].name;
        dated += one.taken[k].has_value();
    }
    EXPECT_EQ(dated, 150);
    // An earlier listing of the folder serves every file that stayed as it was.
    const std::size_t before = datesTakenOpened();
    Listing again = listFolder(dir.path(), U"*.*", 2);
    readDatesTaken(again, -1, &one);
    EXPECT_EQ(datesTakenOpened() - before, 0u);
    EXPECT_EQ(again.taken, one.taken);
    // One of another folder never does, even where inodes might match.
    Listing elsewhere = listFolder(other.path(), U"*.*", 2);
    readDatesTaken(elsewhere, -1, &one);
    EXPECT_EQ(datesTakenOpened() - before, 3u);
    for (const auto& taken : elsewhere.taken) EXPECT_FALSE(taken);
}

TEST(DateTaken, NamesTheExiv2Version) { EXPECT_EQ(exiv2Version(), Exiv2::versionString()); }

}  // namespace
}  // namespace zelvar
