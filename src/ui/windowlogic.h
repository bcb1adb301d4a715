#pragma once
// Decisions of the main window that need no widget: the window title and the reading of a folder
// path typed by the user. Plain values in and out, so they are tested without a window.
#include <optional>
#include <string>
#include <vector>

#include "engine/text.h"

namespace zelvar {

inline const Text kTitulek = U"Zelvar - přejmenování souborů ";
inline const Text kJednoducheFunkce = U"[Jednoduché funkce]";
inline const Text kProfesionalniFunkce = U"[Profesionální funkce]";

// "Zelvar - přejmenování souborů [layout] <folder>"
Text windowTitle(const Text& layoutText, const Text& folder);

// The folder that a typed path names: absolute, with "." and ".." resolved by name, doubled and
// trailing "/" removed. A leading "~" (alone or before "/") stands for the home folder. Nothing for
// text that is no absolute path at all: empty, relative, or holding a NUL.
std::optional<std::string> typedFolderPath(const Text& typed, const std::string& home);

// What the command line of the window asks for: zelvar [FOLDER | FILE], or --help, or --version.
struct WindowArguments {
    enum class Action { Open, Help, Version, Usage };
    Action action = Action::Open;
    std::optional<std::string> path;  // Open: FOLDER or FILE as given (bytes); nothing: none given
    std::string error;                // Usage: what is wrong, one line
};

// The arguments after the program's name. --help (-h) and --version count wherever they stand before
// "--", so that they answer even beside options this parser does not know; after "--" every
// argument is a path.
WindowArguments parseWindowArguments(const std::vector<std::string>& args);
std::string windowUsageText();
// For a usage error: the error, the usage line and where to read more.
std::string windowUsageError(const std::string& error);

}  // namespace zelvar
