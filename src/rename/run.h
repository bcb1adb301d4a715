#pragma once
// The rename run: asks for confirmation, writes the run journal (no journal, no run), renames every row that carries a usable new name in list
// order through the safe rename (which never replaces an entry), and reports what was done and what
// failed. It works on its own copy of the rows, so nothing that happens meanwhile changes its plan.
#include <functional>
#include <string>
#include <vector>

#include "preview/entry.h"
#include "rename/dialogs.h"

namespace zelvar {

// What a second run or undo of a folder is told while another one holds the folder's lock.
extern const Text kFolderBusy;

struct Listing;
struct SysCalls;

// What the run needs of its front end besides message boxes.
struct RenameFrontEnd {
    virtual ~RenameFrontEnd() = default;
    // lblPrace: the entry in hand followed by its step ("", " A", " A B"); given apart, so that a
    // front end that shows nothing builds nothing.
    virtual void progress(const Text& entry, std::u32string_view step) = 0;
    virtual void processEvents() = 0;
    virtual bool confirmEach() = 0;  // chkKazdy, read afresh for every entry
};

enum class RunEnd {
    Declined,           // No to the first question: nothing happened
    ExtensionDeclined,  // No to the extension question: the caller sets txtExt to "*", nothing renamed
    Finished,           // the loop ran (possibly cut short by Cancel) and the report was shown
    NotStarted,  // the journal could not be written, or another run holds the folder: a message said so, nothing renamed
};

struct RunFailure {
    Text oldName, newName;
    Text message;  // the text of its message box
};

struct RunResult {
    RunEnd end = RunEnd::Declined;
    int attempts = 0;
    int failures = 0;
    std::vector<RunFailure> failed;
    Text report;  // the text of the final message box
    BoxStyle reportStyle;
};

// folder: path as bytes; rows: the preview list (copied); txtExt: the extension pattern as typed.
RunResult cmdPrejmenovat_Run(const std::string& folder, PreviewList rows, const Text& txtExt, Dialogs& dialogs,
                             RenameFrontEnd& frontEnd);
// The same with the system calls replaced (tests).
RunResult cmdPrejmenovat_Run(const std::string& folder, PreviewList rows, const Text& txtExt, Dialogs& dialogs,
                             RenameFrontEnd& frontEnd, SysCalls& sys);
// Asked once, when the plan is made after the questions: a listing of the folder known to hold for
// its names still, or null (PreviewSession::listingForRun). The journal then takes the entries'
// inodes from it instead of reading the folder.
using ListingForPlan = std::function<const Listing*()>;

// The same in a folder already open, the one that was listed (`folder` is its path, for messages;
// -1 opens the path).
RunResult cmdPrejmenovat_Run(int folderFd, const std::string& folder, PreviewList rows, const Text& txtExt,
                             Dialogs& dialogs, RenameFrontEnd& frontEnd, SysCalls& sys,
                             const ListingForPlan& listingForPlan = {});

}  // namespace zelvar
