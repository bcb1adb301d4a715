#pragma once
// What the window's folder tree and file list show: the subfolders of a folder and its files that match
// the listing filter, by name as bytes on disk, in case-insensitive order. Hidden entries (names
// starting with ".") are shown like any other. A folder that cannot be read gives an empty list.
#include <optional>
#include <string>
#include <vector>

#include "engine/text.h"
#include "platform/failure.h"

namespace zelvar {

// Folder path plus name, with one "/" between them (the root "/" gets no second one).
std::string joinPath(const std::string& folder, const std::string& name);

// Nothing when the folder can be opened for listing, else why not.
std::optional<Failure> folderOpenFailure(const std::string& path);
inline bool canOpenFolder(const std::string& path) { return !folderOpenFailure(path); }

// The failures by which a volume says that it is not there or not ready.
bool isUnavailableDevice(const Failure& failure);

std::vector<std::string> subfolderNames(const std::string& folder);
// Files, and links to anything but a folder, whose names match the listing filter.
std::vector<std::string> matchingFileNames(const std::string& folder, const Text& masks);

}  // namespace zelvar
