#pragma once
// "Záměna" by a regular expression: "Co" is an ICU expression, "Čím" its replacement ($1..$9,
// ${name}). The expression is compiled once per change of the options and shared by every name;
// each name gets its own matcher, bounded in time and stack so that a pathological expression
// cannot freeze the live preview.
#include <atomic>
#include <memory>

#include "engine/text.h"

namespace zelvar {

class CompiledRegex {
public:
    // Compiles `expression`; an invalid one is kept with its error and replaces nothing.
    CompiledRegex(const Text& expression, const Text& replacement);
    ~CompiledRegex();
    CompiledRegex(const CompiledRegex&) = delete;
    CompiledRegex& operator=(const CompiledRegex&) = delete;

    bool valid() const { return error_.empty(); }
    // ICU's reason and the 1-based character position where the expression went wrong.
    const Text& error() const { return error_; }
    int errorPosition() const { return errorPosition_; }

    // Every match in `text` replaced. A text whose match hits the time or stack limit, or whose
    // replacement refers to a missing group, comes back as it was; the first sets tooComplex().
    Text replaceAll(const Text& text) const;
    bool tooComplex() const { return tooComplex_.load(std::memory_order_relaxed); }

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
    Text error_;
    int errorPosition_ = 0;
    mutable std::atomic<bool> tooComplex_{false};
};

// The note under the preview for the expression: its error, that it proved too complex, or empty.
Text regexNote(const CompiledRegex* regex);

inline const Text kRegexTooComplex = U"Regulární výraz je příliš složitý.";

}  // namespace zelvar
