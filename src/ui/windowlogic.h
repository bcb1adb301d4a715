#pragma once
// Decisions of the main window that need no widget: the window title and the reading of a folder
// path typed by the user. Plain values in and out, so they are tested without a window.
#include <optional>
#include <string>

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

}  // namespace zelvar
