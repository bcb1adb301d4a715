#pragma once
// Saved presets: every rename option and the layout under a name the user chose, one file per preset
// in $XDG_CONFIG_HOME/zelvar/presets (default ~/.config/zelvar/presets). The file is plain key=value
// text, the keys and values those of the command line (engine/optionkeys.h); a key it does not know
// is passed over and a key it lacks keeps its start value, so a preset saved by an older or newer
// build still loads. A damaged file loads nothing.
#include <string>
#include <string_view>
#include <vector>

#include "engine/options.h"

namespace zelvar {

struct Preset {
    RenameOptions options;  // txtCesta is never stored: a preset does not hold the folder
    int layout = 1;         // 0 simple, 1 professional
};

struct PresetRead {
    Preset preset;
    std::string name;  // the name stored inside the file
    Text error;        // non-empty: the file is damaged and nothing of it counts
    bool ok() const { return error.empty(); }
};

// The text of a preset file and back.
std::string presetText(const std::string& name, const Preset& preset);
PresetRead parsePreset(std::string_view text);

// The file name a preset name is stored under: every byte but [A-Za-z0-9_-] percent-encoded, so
// no name can leave the folder, hide the file or clash with another name; a very long name is cut
// and told apart by a hash of the whole name (the real name is inside the file).
std::string presetFileName(const std::string& name);

std::string presetFolder();

// The names of the saved presets, sorted by their bytes.
std::vector<std::string> presetNames();

bool presetExists(const std::string& name);

// Loads a preset; a missing one says "Předvolba ... neexistuje.".
PresetRead loadPreset(const std::string& name);

// Saves atomically: the whole file or nothing under the preset's name. Without `replace`, a preset
// of that name already saved is left alone and the result is an error. Returns "" on success.
Text savePreset(const std::string& name, const Preset& preset, bool replace);

Text removePreset(const std::string& name);

// Renames by saving under the new name (never replacing) and then removing the old one.
Text renamePreset(const std::string& from, const std::string& to);

}  // namespace zelvar
