// The window's plain decisions: the reading of a typed folder path, and what the folder
// tree and the file list are given to show.
#include <QtTest>
#include <optional>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/folderscan.h"
#include "platform/temp_folder.h"
#include "ui/windowlogic.h"

using namespace zelvar;
using zelvar::testing::TempFolder;

class TestWindowLogic : public QObject {
    Q_OBJECT
private slots:
    void typedPaths() {
        const std::string home = "/home/eva";
        struct Case {
            const char* typed;
            std::optional<std::string> folder;
        };
        const Case cases[] = {
            {"", std::nullopt},
            {"Fotky", std::nullopt},
            {"c:\\Fotky", std::nullopt},
            {"~eva/x", std::nullopt},
            {"/", "/"},
            {"/a/b/", "/a/b"},
            {"/a//b/./c", "/a/b/c"},
            {"/a/b/../c", "/a/c"},
            {"/a/../..", "/"},
            {"~", "/home/eva"},
            {"~/Fotky/../Hudba", "/home/eva/Hudba"},
        };
        for (const Case& c : cases) {
            const std::optional<std::string> got = typedFolderPath(T(c.typed), home);
            QVERIFY2(got == c.folder, c.typed);
        }
        Text withNul = T("/tmp/x");
        withNul.insert(withNul.begin() + 4, U'\0');
        QVERIFY(!typedFolderPath(withNul, home));
    }

    void subfoldersIncludeHiddenInCaseInsensitiveOrder() {
        TempFolder dir;
        for (const char* f : {"beta", ".hidden", "Alfa", "gama"}) dir.folder(f);
        dir.file("file.txt");
        QVERIFY(::symlink((dir.path() + "/beta").c_str(), (dir.path() + "/link-to-dir").c_str()) == 0);
        QVERIFY(::symlink((dir.path() + "/file.txt").c_str(), (dir.path() + "/link-to-file").c_str()) == 0);
        const std::vector<std::string> expected = {".hidden", "Alfa", "beta", "gama", "link-to-dir"};
        QVERIFY(subfolderNames(dir.path()) == expected);
        QVERIFY(subfolderNames(dir.path() + "/missing").empty());
    }

    void filesMatchingTheFilter() {
        TempFolder dir;
        for (const char* f : {"b.JPG", "a.jpg", "c.txt", ".profile"}) dir.file(f);
        dir.folder("d.jpg");
        QVERIFY(::symlink((dir.path() + "/c.txt").c_str(), (dir.path() + "/e.jpg").c_str()) == 0);
        QVERIFY((matchingFileNames(dir.path(), T("*.jpg")) == std::vector<std::string>{"a.jpg", "b.JPG", "e.jpg"}));
        QVERIFY((matchingFileNames(dir.path(), T("*.*")) ==
                 std::vector<std::string>{".profile", "a.jpg", "b.JPG", "c.txt", "e.jpg"}));
        QVERIFY((matchingFileNames(dir.path(), T("c*;.p*")) == std::vector<std::string>{".profile", "c.txt"}));
    }

    void joiningAndOpening() {
        QCOMPARE(joinPath("/", "x"), std::string("/x"));
        QCOMPARE(joinPath("/a", "x"), std::string("/a/x"));
        TempFolder dir;
        QVERIFY(canOpenFolder(dir.path()));
        int error = 0;
        QVERIFY(!canOpenFolder(dir.path() + "/missing", &error));
        QCOMPARE(error, ENOENT);
        QVERIFY(isUnavailableDevice(ENOMEDIUM));
        QVERIFY(!isUnavailableDevice(EACCES));
    }
};

QTEST_MAIN(TestWindowLogic)
#include "test_windowlogic.moc"
