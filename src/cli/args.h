#pragma once
// The command line read into one request. Every option is checked here, before anything touches the
// disk, so a usage error can never leave a folder half listed or half renamed. Option values arrive
// as bytes and enter the core losslessly; the radix texts are normalised as the window normalises
// its radix fields when they lose the focus.
#include <string>
#include <string_view>
#include <vector>

#include "engine/options.h"

namespace zelvar::cli {

enum class Action {
    Preview,  // list FOLDER, print the preview (and stats, edits, renames as asked)
    Samples,  // print the new name of every --sample
    Undo,     // take back the newest run in FOLDER, or the run undoId names
    Redo,     // carry out again the newest run taken back in FOLDER
    History,  // list the journaled runs of FOLDER
    Help,
    Version,
    SavePreset,   // save the options given as a preset, read no folder
    ListPresets,  // print the names of the saved presets
};

struct Request {
    Action action = Action::Preview;
    RenameOptions options;     // the window's start values plus what the options changed
    std::string folder = ".";  // bytes as given
    std::string undoId;        // --undo ID: the journal id that --history prints
    bool stats = false;
    bool apply = false;
    bool json = false;  // the preview (and stats, report) as JSON Lines
    bool edit = false;
    std::string editFile;  // "-" reads standard input
    std::vector<std::string> samples;
    double counter = 1;  // the counter value of the samples
    std::string savePresetName;
    int layout = 1;              // the layout a saved preset records: that of the last --preset, else professional
    std::string renameListFile;  // --rename-list: new names by old name; "-" reads standard input
};

struct ParseResult {
    Request request;
    std::string error;  // non-empty: a usage error, the message without the program prefix
    bool ok() const { return error.empty(); }
};

// Whether `text` has the shape of a journal id ("20261207-030000-123456-4242").
bool isRunId(std::string_view text);

// args: the arguments without the program name.
ParseResult parseArgs(const std::vector<std::string>& args);

// The --help text.
std::string usageText();

}  // namespace zelvar::cli
