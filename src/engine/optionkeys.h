#pragma once
// Every rename option under one name: the command line takes it as --NAME and a preset stores it as
// NAME=VALUE, with the same values (a choice by its word, as --case upper). Adding an option to the
// command line and to presets is one row of optionKeys().
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include "engine/options.h"

namespace zelvar {

enum class OptionKind {
    Flag,    // --NAME sets it on; a preset stores 0 or 1
    Choice,  // one of the words of `choices`
    Text,    // any text
    Digits,  // digits only (possibly none), as the key filter of the field allows
};

struct OptionChoice {
    std::string_view word;
    int index;  // the value of the choice's enum
};

// A flag or a choice of the record read and written as a number: a flag as itself, a choice as
// the value of its enum, which is the index of its option button.
struct NumberField {
    int (*get)(const RenameOptions&) = nullptr;
    void (*set)(RenameOptions&, int) = nullptr;
    explicit operator bool() const { return get != nullptr; }
};

template <auto Field>
NumberField numberField() {
    using Value = std::remove_cvref_t<decltype(std::declval<RenameOptions>().*Field)>;
    return {[](const RenameOptions& o) { return static_cast<int>(o.*Field); },
            [](RenameOptions& o, int v) { o.*Field = static_cast<Value>(v); }};
}

struct OptionKey {
    std::string_view name;
    OptionKind kind;
    NumberField number;                   // Flag and Choice
    Text RenameOptions::*text = nullptr;  // Text and Digits
    std::vector<OptionChoice> choices;
    bool commandLine = true;  // false: a window option the command line has no use for
};

const std::vector<OptionKey>& optionKeys();
const OptionKey* findOptionKey(std::string_view name);

// The option's value as a preset stores it. A choice with no item selected (-1) is stored as its
// first word, which acts the same.
std::string optionValue(const RenameOptions& options, const OptionKey& key);
// Takes a value as a preset stores it (a flag as 0 or 1); false leaves the option as it was.
bool setOptionValue(RenameOptions& options, const OptionKey& key, std::string_view value);
// The words of a choice: "keep, lower, upper, title".
std::string choiceWords(const OptionKey& key);

// What the fields cannot hold, whatever set them: the replacement fields never hold a character
// that a file name may not contain. Done once every option is set, since a rule may depend on
// several of them.
void keepOptionsValid(RenameOptions& options);

}  // namespace zelvar
