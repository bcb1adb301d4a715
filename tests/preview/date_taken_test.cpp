// "Datum: pořízení" through the whole build: which date the codes write and the order follows, the
// note about entries without one, and which files a build opens.
#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <fstream>
#include <string>

#include "platform/dates_taken.h"
#include "platform/photos.h"
#include "platform/temp_folder.h"
#include "preview/session.h"

using namespace zelvar;
using namespace zelvar::testing;

namespace {

std::string rows(const PreviewResult& r) { return toUtf8(previewText(r.rows)); }

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

RenameOptions datedNames(int optDatum) {
    RenameOptions o;
    o.txtJmeno = U"\\y\\m\\d_\\h\\n\\s_:";
    o.optRazeni = 2;
    o.optDatum = optDatum;
    return o;
}

TEST(DateTaken, NamesAndOrdersByTheDateTakenAndCountsWhatHasNone) {
    Shots shots;
    PreviewSession session;
    session.setFolder(shots.dir.path());
    const PreviewResult& taken = session.build(datedNames(1));
    EXPECT_EQ(rows(taken),
              "e.heic -> 20220501_101112_1.heic\r\n"
              "d.jpg -> 20230101_000000_2.jpg\r\n"
              "f.mp4 -> 20240714_073012_3.mp4\r\n"
              "c.txt -> 20240714_093000_4.txt\r\n"
              "b.jpg -> 20240714_093012_5.jpg\r\n"
              "a.jpg -> 20240714_093012_6.jpg\r\n");
    EXPECT_EQ(taken.missingTaken, 1);
    EXPECT_EQ(toUtf8(listingNote(taken)), "Datum pořízení chybí u 1 položek, použito datum změny.");

    // The start value is the date of last change, as ever, and has nothing to note.
    const PreviewResult& modified = session.build(datedNames(0));
    EXPECT_EQ(rows(modified),
              "a.jpg -> 19700101_000140_1.jpg\r\n"
              "b.jpg -> 19700101_000320_2.jpg\r\n"
              "d.jpg -> 19700101_000640_3.jpg\r\n"
              "e.heic -> 19700101_000820_4.heic\r\n"
              "f.mp4 -> 19700101_001000_5.mp4\r\n"
              "c.txt -> 20240714_093000_6.txt\r\n");
    EXPECT_EQ(modified.missingTaken, 0);
    EXPECT_EQ(toUtf8(listingNote(modified)), "");

    // Reversed, the burst comes out exactly reversed too.
    RenameOptions reversed = datedNames(1);
    reversed.chkObracene = 1;
    reversed.txtJmeno = U"*";
    EXPECT_EQ(rows(session.build(reversed)),
              "a.jpg -> * beze změny\r\nb.jpg -> * beze změny\r\nc.txt -> * beze změny\r\n"
              "f.mp4 -> * beze změny\r\nd.jpg -> * beze změny\r\ne.heic -> * beze změny\r\n");
}

TEST(DateTaken, FilesAreOpenedOnlyWhenADateIsUsedAndOnlyOnceWhileTheyStayTheSame) {
    Shots shots;
    auto opened = [last = datesTakenOpened()]() mutable {
        const std::size_t now = datesTakenOpened(), since = now - last;
        last = now;
        return since;
    };
    // With "pořízení" but no date in use, nothing is read and nothing is noted.
    RenameOptions plain;
    plain.optDatum = 1;
    plain.txtJmeno = U"x:";
    for (const bool keep : {false, true}) {
        PreviewSession session;
        session.setFolder(shots.dir.path());
        session.keepListing(keep);
        EXPECT_EQ(session.build(plain).missingTaken, 0);
        EXPECT_EQ(opened(), 0u);
    }
    PreviewSession session;
    session.setFolder(shots.dir.path());
    session.keepListing(true);
    RenameOptions o = datedNames(1);
    o.optRazeni = 0;  // the date code alone asks for the dates
    session.build(o);
    EXPECT_EQ(opened(), 6u);
    // A keystroke in an unchanged folder reads no file.
    o.txtJmeno = U"\\y-\\m-\\d_:";
    const std::string before = rows(session.build(o));
    EXPECT_TRUE(session.listingKept());
    EXPECT_EQ(opened(), 0u);
    EXPECT_NE(before.find("a.jpg -> 2024-07-14_1.jpg"), std::string::npos) << before;
    // A change in the folder reads it again, but opens only the file that changed.
    writeJpeg(shots.dir / "a.jpg", takenAt("2021:02:03 04:05:06"));
    shots.dir.mtime("a.jpg", 100);
    const std::string after = rows(session.build(o));
    EXPECT_FALSE(session.listingKept());
    EXPECT_EQ(opened(), 1u);
    EXPECT_NE(after.find("a.jpg -> 2021-02-03_1.jpg"), std::string::npos) << after;
    // The same when only the size changed, the inode and the time staying.
    {
        std::ofstream(shots.dir / "c.txt", std::ios::app) << "more";
        shots.dir.mtime("c.txt", 1720949400);
    }
    session.build(o);
    EXPECT_EQ(opened(), 1u);
}

}  // namespace
