// The window's plain decisions: the reading of a typed folder path, and what the tree and the file list show.
#include <QtTest>
#include <optional>
#include <string>
#include <tuple>
#include <vector>
#include <unistd.h>

#include "platform/folderscan.h"
#include "platform/temp_folder.h"
#include "ui/windowlogic.h"

using namespace zelvar;
using Names = std::vector<std::string>;

class TestWindowLogic : public QObject {
    Q_OBJECT
private slots:
    void typedPaths() {
        const std::pair<const char*, std::optional<std::string>> cases[] = {
            {"", std::nullopt},          {"Fotky", std::nullopt},
            {"c:\\Fotky", std::nullopt}, {"~eva/x", std::nullopt},
            {"/a//b/./c/", "/a/b/c"},    {"/a/../..", "/"},
            {"~", "/home/eva"},          {"~/Fotky/../Hudba", "/home/eva/Hudba"},
        };
        for (const auto& [typed, folder] : cases) QVERIFY2(typedFolderPath(T(typed), "/home/eva") == folder, typed);
        QVERIFY(!typedFolderPath(Text(U"/tmp\0/x", 7), "/home/eva"));  // a NUL inside
    }

    // The window's command line: help and version win wherever they stand before "--"; after it every argument is a
    // path; one path at most.
    void windowArguments() {
        using A = WindowArguments::Action;
        const std::tuple<std::vector<std::string>, A, std::optional<std::string>, std::string> cases[] = {
            {{}, A::Open, std::nullopt, ""},
            {{"Fotky"}, A::Open, "Fotky", ""},
            {{"-"}, A::Open, "-", ""},  // a lone dash is a name
            {{"--", "--help"}, A::Open, "--help", ""},
            {{"--", "-x"}, A::Open, "-x", ""},
            {{"--help"}, A::Help, std::nullopt, ""},
            {{"a", "-h", "b"}, A::Help, std::nullopt, ""},
            {{"--bogus", "--version"}, A::Version, std::nullopt, ""},
            {{"--version", "--help"}, A::Version, std::nullopt, ""},
            {{"--bogus"}, A::Usage, std::nullopt, "unrecognized option '--bogus'"},
            {{"Fotky", "-v"}, A::Usage, std::nullopt, "unrecognized option '-v'"},
            {{"a", "b"}, A::Usage, std::nullopt, "only one FOLDER or FILE may be given"},
            {{"a", "--", "b"}, A::Usage, std::nullopt, "only one FOLDER or FILE may be given"},
        };
        for (std::size_t i = 0; i < std::size(cases); ++i) {
            const auto& [args, action, path, error] = cases[i];
            const WindowArguments got = parseWindowArguments(args);
            QVERIFY2(got.action == action && got.path == path && got.error == error, qPrintable(QString::number(i)));
        }
    }

    // Links count as what they lead to; hidden entries are shown.
    void subfoldersAndMatchingFiles() {
        testing::TempFolder dir;
        for (const char* folder : {"beta", ".hidden", "Alfa", "d.jpg"}) dir.folder(folder);
        for (const char* file : {"b.JPG", "a.jpg", "c.txt", ".profile"}) dir.file(file);
        dir.fill({{"link-to-dir", "-> beta"}, {"e.jpg", "-> c.txt"}});
        QVERIFY((subfolderNames(dir.path()) == Names{".hidden", "Alfa", "beta", "d.jpg", "link-to-dir"}));
        QVERIFY(subfolderNames(dir / "missing").empty());
        QVERIFY((matchingFileNames(dir.path(), T("*.jpg")) == Names{"a.jpg", "b.JPG", "e.jpg"}));
        QVERIFY((matchingFileNames(dir.path(), T("c*;.p*")) == Names{".profile", "c.txt"}));
        QVERIFY(canOpenFolder(dir.path()) && !folderOpenFailure(dir.path()));
        QVERIFY(folderOpenFailure(dir / "missing") == Failure{ENOENT});
    }
};

QTEST_MAIN(TestWindowLogic)
#include "test_windowlogic.moc"
