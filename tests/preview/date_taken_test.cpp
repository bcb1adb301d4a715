// "Datum: pořízení" through the whole build: which date the codes write and the order follows, the
// note about entries without one, and which files a build opens.
#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <fstream>
#include <string>
#include <tuple>
#include <utility>

#include "platform/dates_taken.h"
#include "platform/photos.h"
#include "platform/temp_folder.h"
#include "preview/session.h"

using namespace zelvar;
using namespace zelvar::testing;

namespace {

// A folder whose modification order is the reverse of its order by date taken, with a burst of two
// photos in one second, a text file that has no date taken and a HEIF photo and a video.
struct Shots {
    TempFolder dir;
    Shots() {
        setenv("TZ", "UTC", 1), tzset();
        writeJpeg(dir / "b.jpg", takenAt("2024:07:14 09:30:12", "2"));
        writeJpeg(dir / "a.jpg", takenAt("2024:07:14 09:30:12", "5"));
        writeJpeg(dir / "d.jpg", takenAt("2023:01:01 00:00:00"));
        dir.file("c.txt", "no date");
        dir.file("e.heic", readFile(kSamples + "/photo.heic"));
        dir.file("f.mp4", readFile(kSamples + "/video.mp4"));
        const std::pair<const char*, time_t> changed[] = {{"a.jpg", 100}, {"b.jpg", 200},  {"c.txt", 1720949400},
                                                          {"d.jpg", 400}, {"e.heic", 500}, {"f.mp4", 600}};
        for (const auto& [name, seconds] : changed) dir.mtime(name, seconds);
    }
};

TEST(DateTaken, NamesAndOrdersByTheDateTakenAndCountsWhatHasNone) {
    Shots shots;
    PreviewSession session;
    session.setFolder(shots.dir.path());
    // the rows; "Datum", reversed, entries without a date taken
    const std::tuple<const char*, int, int, int> cases[] = {
        {"e.heic -> 20220501_101112_1.heic\r\nd.jpg -> 20230101_000000_2.jpg\r\nf.mp4 -> 20240714_073012_3.mp4\r\n"
         "c.txt -> 20240714_093000_4.txt\r\nb.jpg -> 20240714_093012_5.jpg\r\na.jpg -> 20240714_093012_6.jpg\r\n",
         1, 0, 1},
        // Reversed, the burst comes out exactly reversed too.
        {"a.jpg -> 20240714_093012_1.jpg\r\nb.jpg -> 20240714_093012_2.jpg\r\nc.txt -> 20240714_093000_3.txt\r\n"
         "f.mp4 -> 20240714_073012_4.mp4\r\nd.jpg -> 20230101_000000_5.jpg\r\ne.heic -> 20220501_101112_6.heic\r\n",
         1, 1, 1},
        // The start value is the date of last change, as ever, and has nothing to note.
        {"a.jpg -> 19700101_000140_1.jpg\r\nb.jpg -> 19700101_000320_2.jpg\r\nd.jpg -> 19700101_000640_3.jpg\r\n"
         "e.heic -> 19700101_000820_4.heic\r\nf.mp4 -> 19700101_001000_5.mp4\r\nc.txt -> 20240714_093000_6.txt\r\n",
         0, 0, 0},
    };
    for (const auto& [expected, optDatum, reversed, missing] : cases) {
        SCOPED_TRACE(expected);
        RenameOptions o;
        o.txtJmeno = U"\\y\\m\\d_\\h\\n\\s_:", o.optRazeni = Razeni::Datum, o.optDatum = Datum(optDatum),
        o.chkObracene = reversed;
        const PreviewResult& r = session.build(o);
        EXPECT_EQ(toUtf8(previewText(r.rows)), expected);
        EXPECT_EQ(r.missingTaken, missing);
        EXPECT_EQ(toUtf8(listingNote(r)), missing ? "Datum pořízení chybí u 1 položek, použito datum změny." : "");
    }
}

TEST(DateTaken, FilesAreOpenedOnlyWhenADateIsUsedAndOnlyOnceWhileTheyStayTheSame) {
    Shots shots;
    auto opened = [last = datesTakenOpened()]() mutable {
        const std::size_t now = datesTakenOpened();
        return now - std::exchange(last, now);
    };
    RenameOptions o;
    PreviewSession session;
    session.setFolder(shots.dir.path());
    // Whether the kept listing serves the build, the files it opens, one of its rows; the entries
    // without a date taken.
    const auto build = [&](bool kept, std::size_t opens, const std::string& row) {
        const PreviewResult& r = session.build(o);
        const std::string shown = toUtf8(previewText(r.rows));
        EXPECT_EQ(session.listingKept(), kept);
        EXPECT_EQ(opened(), opens);
        EXPECT_NE(shown.find(row), std::string::npos) << shown;
        return r.missingTaken;
    };
    // With "pořízení" but no date in use, nothing is read and nothing is noted, kept or not.
    o.optDatum = Datum::Porizeni, o.txtJmeno = U"x:";
    EXPECT_EQ(build(false, 0, "a.jpg -> x1.jpg"), 0);
    session.keepListing(true);
    EXPECT_EQ(build(false, 0, "a.jpg -> x1.jpg"), 0);
    o.txtJmeno = U"\\y\\m\\d_:";  // the date code alone asks for the dates
    build(true, 6, "a.jpg -> 20240714_1.jpg");
    // A keystroke in an unchanged folder reads no file.
    o.txtJmeno = U"\\y-\\m-\\d_:";
    build(true, 0, "a.jpg -> 2024-07-14_1.jpg");
    // A change in the folder reads it again, but opens only the file that changed.
    writeJpeg(shots.dir / "a.jpg", takenAt("2021:02:03 04:05:06"));
    shots.dir.mtime("a.jpg", 100);
    build(false, 1, "a.jpg -> 2021-02-03_1.jpg");
    // The same when only the size changed, the inode and the time staying.
    std::ofstream(shots.dir / "c.txt", std::ios::app) << "more";
    shots.dir.mtime("c.txt", 1720949400);
    build(false, 1, "c.txt -> 2024-07-14_3.txt");
}

}  // namespace
