#include <fcntl.h>
#include <sys/socket.h>
#include <sys/syscall.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <algorithm>
#include <cstring>
#include <ctime>
#include <exiv2/exiv2.hpp>
#include <fstream>
#include <optional>
#include <string>
#include <thread>
#include <tuple>

#include <gtest/gtest.h>

#include "platform/dates_taken.h"
#include "platform/metadata.h"
#include "photos.h"
#include "temp_folder.h"

namespace zelvar {
namespace {

using namespace testing;

// A fresh image of the type its extension names, with the given tags, written by exiv2 itself. WebP
// and TIFF (and DNG, built on TIFF), which exiv2 cannot make from nothing, start from a blank sample.
void writePhoto(const std::string& path, const Tags& tags) {
    const std::string ext = path.substr(path.rfind('.') + 1);
    const bool blank = ext == "webp" || ext == "tif" || ext == "dng";
    if (blank)
        std::ofstream(path, std::ios::binary) << readFile(kSamples + (ext == "webp" ? "/blank.webp" : "/blank.tif"));
    auto image = blank
                     ? Exiv2::ImageFactory::open(path)
                     : Exiv2::ImageFactory::create(ext == "png" ? Exiv2::ImageType::png : Exiv2::ImageType::jpeg, path);
    ASSERT_TRUE(image.get());
    writeTags(*image, tags);
}

std::string shown(const std::optional<DateTaken>& taken) {
    if (!taken) return "none";
    const DateTime& d = taken->date;
    char text[64];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", d.year, d.month, d.day, d.hour, d.minute,
                  d.second);
    return text + (taken->subsecond != 0 ? "." + std::to_string(taken->subsecond) : "");
}

// The date of a file's bytes in memory, as the fuzz target gives them.
std::string shownFromBytes(const std::string& path) {
    const std::string bytes = readFile(path);
    return shown(dateTakenFromBytes(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size()));
}

// An offset does not shift the time.
TEST(DateTaken, ParsesExifAndIsoTextsAndRefusesWhatIsNoDate) {
    for (const char* text : {"2024:07:14 09:30:12", "2024:07:14 09:30:12\0", "  2024:07:14 09:30:12  ",
                             "2024-07-14T09:30:12+02:00", "2024-07-14T09:30:12-0830", "2024-07-14T09:30:12Z"})
        EXPECT_EQ(shown(parseDateTaken(text)), "2024-07-14 09:30:12") << text;
    const std::pair<const char*, const char*> dates[] = {{"2024-07-14T09:30:12.5", "2024-07-14 09:30:12.500000000"},
                                                         {"2024-07-14T09:30", "2024-07-14 09:30:00"},
                                                         {"2024-07-14", "2024-07-14 00:00:00"},
                                                         {"2024:02:29 23:59:59", "2024-02-29 23:59:59"}};
    for (const auto& [text, expected] : dates) EXPECT_EQ(shown(parseDateTaken(text)), expected) << text;
    for (const char* text : {"0000:00:00 00:00:00", "    :  :     :  :  ", "", "2024:13:01 10:00:00",
                             "2023:02:29 10:00:00", "1900:02:29 10:00:00", "2024:04:31 10:00:00", "2024:07:14 24:00:00",
                             "2024:07:14 10:60:00", "2024:07:14 10:00:61", "2024:07-14 10:00:00", "2024:07:14x10:00:00",
                             "2024-07-14T09:30:12+25:00", "2024-07-14T09:30:12 garbage", "2024-07"})
        EXPECT_EQ(shown(parseDateTaken(text)), "none") << text;
}

// Each file's name says what it shows; a tag that must lose carries a date of its own.
TEST(DateTaken, ReadsTheFirstValidTagInOrderFromEveryPhotoFormat) {
    const std::string o = "Exif.Photo.DateTimeOriginal", i0 = "Exif.Image.DateTimeOriginal",
                      d = "Exif.Photo.DateTimeDigitized", e = "Exif.Image.DateTime", xo = "Xmp.exif.DateTimeOriginal",
                      xc = "Xmp.xmp.CreateDate", lost = "2001:01:01 01:01:01", lostXmp = "2000-01-01T00:00:00";
    const std::tuple<const char*, Tags, const char*> cases[] = {
        {"original-first.jpg",
         {{o, "2024:07:14 09:30:12"}, {i0, lost}, {d, lost}, {xo, lostXmp}, {e, lost}},
         "2024-07-14 09:30:12"},
        {"last-edit-never.jpg", {{e, lost}}, "none"},
        {"ifd0-original.jpg", {{i0, "2011:01:01 01:01:01"}, {d, lost}}, "2011-01-01 01:01:01"},
        {"invalid-is-none.jpg", {{o, "0000:00:00 00:00:00"}, {d, "2002:02:02 02:02:02"}}, "2002-02-02 02:02:02"},
        {"blank-and-month-13.jpg", {{o, "    :  :     :  :  "}, {d, "2024:13:01 00:00:00"}}, "none"},
        {"offset-ignored-subsecond-kept.jpg",
         {{o, "2024:07:14 09:30:12"},
          {"Exif.Photo.OffsetTimeOriginal", "+09:00"},
          {"Exif.Photo.SubSecTimeOriginal", "07"}},
         "2024-07-14 09:30:12.70000000"},
        {"xmp-original.jpg", {{xo, "2021-03-04T05:06:07+02:00"}, {xc, lostXmp}}, "2021-03-04 05:06:07"},
        {"xmp-photoshop.jpg", {{"Xmp.photoshop.DateCreated", "2019-08-09"}, {xc, lostXmp}}, "2019-08-09 00:00:00"},
        {"xmp-create-date.jpg", {{xc, "2018-12-31T23:59:58.25"}}, "2018-12-31 23:59:58.250000000"},
        {"tiff.tif", {{o, "2017:06:05 04:03:02"}}, "2017-06-05 04:03:02"},
        {"raw-on-tiff.dng",
         {{"Exif.Image.DNGVersion", "1 4 0 0"}, {"Exif.Image.Make", "Test"}, {o, "2016:05:04 03:02:01"}},
         "2016-05-04 03:02:01"},
        {"png.png", {{o, "2015:04:03 02:01:00"}}, "2015-04-03 02:01:00"},
        {"webp.webp", {{o, "2014:03:02 01:00:59"}}, "2014-03-02 01:00:59"},
    };
    TempFolder dir;
    for (const auto& [name, tags, expected] : cases) {
        SCOPED_TRACE(name);
        ASSERT_NO_FATAL_FAILURE(writePhoto(dir / name, tags));
        EXPECT_EQ(shown(readDateTaken(dir / name)), expected);
        EXPECT_EQ(shownFromBytes(dir / name), expected);
    }
}

// A photo is read in two steps: its first bytes, and more only where its segments run on past them.
// Here a 300 KB colour profile follows the date, so exiv2 reads past the first bytes before it is done.
TEST(DateTaken, ReadsADateWhoseSegmentsRunPastTheFirstBytes) {
    const std::pair<Tags, const char*> cases[] = {
        {{{"Exif.Photo.DateTimeOriginal", "2024:07:14 09:30:12"}}, "2024-07-14 09:30:12"},
        {{{"Xmp.xmp.CreateDate", "2018-12-31T23:59:58"}}, "2018-12-31 23:59:58"},
    };
    TempFolder dir;
    for (const auto& [tags, expected] : cases) {
        const std::string path = dir / "profiled.jpg";
        auto image = Exiv2::ImageFactory::create(Exiv2::ImageType::jpeg, path);
        Exiv2::DataBuf profile(300 << 10);  // exiv2 takes it over
        std::memset(profile.pData_, 'p', profile.size_);
        Exiv2::ul2Data(profile.pData_, profile.size_, Exiv2::bigEndian);  // a profile starts with its size
        image->setIccProfile(profile);
        writeTags(*image, tags);
        ASSERT_GT(readFile(path).size(), 300u << 10);
        EXPECT_EQ(shown(readDateTaken(path)), expected);
    }
}

// The checked-in samples come from make-samples beside them; the edited HEICs are those libexiv2
// cannot read. The movie header's time (UTC) follows
// the machine's zone, the local time a MOV recorded does not; a video under another extension is
// still known by its content.
TEST(DateTaken, ReadsHeifPhotosAndTheCreationTimesOfVideos) {
    const char* oldZone = std::getenv("TZ");
    const std::string before = oldZone ? oldZone : "";
    TempFolder dir({{"clip.3gp", readFile(kSamples + "/video.mp4")}, {"clip.jpg", readFile(kSamples + "/video.mov")}});
    const std::tuple<const char*, const char*, const char*> cases[] = {
        {"UTC", "photo.heic", "2022-05-01 10:11:12.250000000"},
        {"UTC", "edited.heic", "2012-01-02 03:04:05"},
        {"UTC", "edited-xmp.heic", "2011-01-02 03:04:05"},
        {"UTC", "video.mp4", "2024-07-14 07:30:12"},
        {"UTC", "video.mov", "2023-12-24 18:45:07"},
        {"UTC", "nodate.mp4", "none"},
        {"Europe/Prague", "video.mp4", "2024-07-14 09:30:12"},
        {"Europe/Prague", "video.mov", "2023-12-24 18:45:07"},
        {"Europe/Prague", "clip.3gp", "2024-07-14 09:30:12"},
        {"Europe/Prague", "clip.jpg", "2023-12-24 18:45:07"}};
    for (const auto& [zone, name, expected] : cases) {
        setenv("TZ", zone, 1);
        tzset();
        const std::string path = std::strncmp(name, "clip", 4) == 0 ? dir / name : kSamples + "/" + name;
        EXPECT_EQ(shown(readDateTaken(path)), expected) << zone << " " << name;
        if (std::strstr(name, ".heic")) {
            EXPECT_EQ(shownFromBytes(path), expected) << name;
        }
    }
    setenv("TZ", before.c_str(), 1);
    tzset();
}

// The bytes of a literal, its NULs included.
template <std::size_t N>
std::string raw(const char (&bytes)[N]) {
    return std::string(bytes, N - 1);
}

// An XMP packet with one date property, such as "xmp:CreateDate".
std::string xmp(const std::string& property, const std::string& date) {
    return "<x:xmpmeta xmlns:x=\"adobe:ns:meta/\"><rdf:RDF xmlns:rdf=\"http://www.w3.org/1999/02/22-rdf-syntax-ns#\">"
           "<rdf:Description rdf:about=\"\" xmlns:exif=\"http://ns.adobe.com/exif/1.0/\" "
           "xmlns:xmp=\"http://ns.adobe.com/xap/1.0/\" " +
           property + "=\"" + date + "\"/></rdf:RDF></x:xmpmeta>";
}

// The sidecar is "name.xmp" or "name.ext.xmp", the latter first; a damaged one gives nothing.
TEST(DateTaken, FallsBackToAnXmpSidecarOnlyWhenTheFileHasNoDate) {
    const std::string c = "xmp:CreateDate";
    TempFolder dir({{"raw1.cr2", "not a photo at all"},
                    {"raw1.xmp", xmp("exif:DateTimeOriginal", "2020-02-02T20:20:20+01:00")},
                    {"raw2.nef.xmp", xmp(c, "2019-09-09T09:09:09")},
                    {"raw3.xmp", xmp(c, "0000-00-00T00:00:00")},
                    {"raw3.arw.xmp", xmp(c, "2018-08-08T08:08:08")},
                    {"raw4.xmp", "<x:xmpmeta broken"},
                    {"own.xmp", xmp(c, "2001-01-01T01:01:01")}});
    for (const char* name : {"raw2.nef", "raw3.arw", "raw4.orf"}) dir.file(name);
    ASSERT_NO_FATAL_FAILURE(writePhoto(dir / "own.jpg", {{"Exif.Photo.DateTimeOriginal", "2024:07:14 09:30:12"}}));
    const std::pair<const char*, const char*> cases[] = {
        {"raw1.cr2", "2020-02-02 20:20:20"}, {"raw2.nef", "2019-09-09 09:09:09"},
        {"raw3.arw", "2018-08-08 08:08:08"}, {"raw4.orf", "none"},
        {"own.jpg", "2024-07-14 09:30:12"},  {"gone.jpg", "none"},
    };
    for (const auto& [name, expected] : cases) EXPECT_EQ(shown(readDateTaken(dir / name)), expected) << name;
    // A listing's dates, which look for a sidecar only under the names the folder has, are the same.
    Listing listing = listFolder(dir.path(), U"*.*", File::Oboje);
    readDatesTaken(listing);
    for (std::size_t k = 0; k < listing.entries.size(); ++k) {
        const std::string& name = listing.entries[k].name;
        EXPECT_EQ(shown(listing.taken[k]), shown(readDateTaken(dir / name))) << name;
    }
}

TEST(DateTaken, NeverOpensADeviceOrSocketAndSurvivesDamagedFiles) {
    TempFolder dir;  // FIFOs: OpensNoFifoNamedLikeAPhotoOrItsSidecar
    const int sock = socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const int length = std::snprintf(address.sun_path, sizeof address.sun_path, "%s", (dir / "sock.jpg").c_str());
    ASSERT_LT(length, int(sizeof address.sun_path));
    ASSERT_EQ(bind(sock, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    // A sidecar beside it must not make it dated either.
    dir.file("sock.xmp", xmp("xmp:CreateDate", "2018-08-08T08:08:08"));
    // EXIF segments and boxes whose lengths point far past the end of the file.
    dir.file("huge.jpg", raw("\377\330\377\341\377\377Exif\0\0II*\0\10\0\0\0\377\377"));
    dir.file("loop.tif", raw("II*\0\10\0\0\0\1\0\62\1\2\0\24\0\0\0\10\0\0\0"));
    dir.file("box.heic", raw("\0\0\0\30ftypheic\0\0\0\0mif1heic\377\377\377\377meta"));
    dir.file("box.mp4", raw("\0\0\0\30ftypisom\0\0\0\0isomiso2\0\0\0\20moov\377\377\377\377"));
    dir.file("empty.jpg");
    const auto started = std::chrono::steady_clock::now();
    for (const std::string& path :
         {dir / "sock.jpg", dir / "huge.jpg", dir / "loop.tif", dir / "box.heic", dir / "box.mp4", dir / "empty.jpg",
          std::string("/dev/zero"), std::string("/dev/null"), std::string("/dev/tty")})
        EXPECT_EQ(shown(readDateTaken(path)), "none") << path;
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(5));
    close(sock);
}

// A writer that waits at a FIFO until a reader opens it: opening the FIFO, however briefly, would let
// it go on and write into a pipe that is closed at once.
class FifoWriter {
public:
    explicit FifoWriter(const std::string& path) : path_(path) {
        thread_ = std::thread([this] {
            tid_ = static_cast<pid_t>(syscall(SYS_gettid));
            const int fd = open(path_.c_str(), O_WRONLY | O_CLOEXEC);
            released_ = true;
            if (fd >= 0) close(fd);
        });
        // Waits until the writer is inside its open.
        const std::string waiting = std::to_string(SYS_openat) + " ";
        for (int k = 0; k < 5000 && !(waiting_ = inOpen(waiting)); ++k)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    ~FifoWriter() {
        const int fd = open(path_.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);  // lets it go
        thread_.join();
        if (fd >= 0) close(fd);
    }
    // Whether it was seen waiting in its open, without which released() tells nothing.
    bool waiting() const { return waiting_; }
    // Whether a reader let it go, given time to run.
    bool released() const {
        for (int k = 0; k < 200 && !released_; ++k) std::this_thread::sleep_for(std::chrono::milliseconds(1));
        return released_;
    }

private:
    bool inOpen(const std::string& waiting) const {
        if (tid_ == 0) return false;
        std::ifstream in("/proc/self/task/" + std::to_string(tid_) + "/syscall");
        std::string line;
        return std::getline(in, line) && line.rfind(waiting, 0) == 0;
    }
    std::string path_;
    std::atomic<pid_t> tid_{0};
    std::atomic<bool> released_{false};
    bool waiting_ = false;
    std::thread thread_;
};

TEST(DatesTaken, OpensNoFifoNamedLikeAPhotoOrItsSidecar) {
    TempFolder dir;
    writeJpeg(dir / "undated.jpg", {{"Exif.Image.DateTime", "2030:01:01 00:00:00"}});
    for (const char* name : {"pipe.jpg", "undated.xmp"}) ASSERT_EQ(mkfifo((dir / name).c_str(), 0644), 0);
    const FifoWriter atPhoto(dir / "pipe.jpg"), atSidecar(dir / "undated.xmp");
    ASSERT_TRUE(atPhoto.waiting() && atSidecar.waiting());
    Listing listing = listFolder(dir.path(), U"*.*", File::Soubory);
    readDatesTaken(listing);
    EXPECT_EQ(shown(readDateTaken(dir / "pipe.jpg")), "none");
    EXPECT_EQ(shown(readDateTaken(dir / "undated.jpg")), "none");
    ASSERT_EQ(listing.entries.size(), 3u);
    for (const auto& taken : listing.taken) EXPECT_FALSE(taken);
    EXPECT_FALSE(atPhoto.released());
    EXPECT_FALSE(atSidecar.released());
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
        Listing listing = listFolder(dir.path(), U"*.*", File::Oboje);
        readDatesTaken(listing);
        setListingThreads(0);
        return listing;
    };
    const Listing one = datesOn(1), many = datesOn(4);
    ASSERT_EQ(one.entries.size(), 152u);
    EXPECT_TRUE(one.takenRead);
    // Every photo has a date of its own, so the same order is needed too.
    EXPECT_EQ(one.taken, many.taken);
    EXPECT_EQ(std::count_if(one.taken.begin(), one.taken.end(), [](const auto& t) { return t.has_value(); }), 150);
    // An earlier listing of the folder serves every file that stayed as it was.
    const std::size_t before = datesTakenOpened();
    Listing again = listFolder(dir.path(), U"*.*", File::Oboje);
    readDatesTaken(again, -1, &one);
    EXPECT_EQ(datesTakenOpened() - before, 0u);
    EXPECT_EQ(again.taken, one.taken);
    // One of another folder never does, even where inodes might match.
    Listing elsewhere = listFolder(other.path(), U"*.*", File::Oboje);
    readDatesTaken(elsewhere, -1, &one);
    EXPECT_EQ(datesTakenOpened() - before, 3u);
    for (const auto& taken : elsewhere.taken) EXPECT_FALSE(taken);
}

}  // namespace
}  // namespace zelvar
