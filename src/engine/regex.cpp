#include "engine/regex.h"

#include <unicode/regex.h>
#include <unicode/unistr.h>
#include <unicode/utypes.h>

#include <algorithm>
#include <string>
#include <string_view>

namespace zelvar {

namespace {

// Steps of ICU's match engine, on the order of milliseconds; a name that needs more is left as is.
constexpr int32_t kTimeLimit = 20;
constexpr int32_t kStackLimit = 1 << 20;
// What a file name may not hold, as ICU's UTF-16 units.
constexpr std::u16string_view kForbidden = u"/\\<>|\":*?";

// Code points one by one, so that a lone surrogate standing for an undecodable byte survives.
icu::UnicodeString toUnicode(const Text& text) {
    icu::UnicodeString out;
    for (char32_t c : text) {
        if (c < 0x10000)
            out.append(static_cast<char16_t>(c));
        else
            out.append(static_cast<UChar32>(c));
    }
    return out;
}

Text fromUnicode(const icu::UnicodeString& text) {
    Text out;
    out.reserve(static_cast<std::size_t>(text.length()));
    for (int32_t i = 0; i < text.length();) {
        const UChar32 c = text.char32At(i);
        out += static_cast<char32_t>(c);
        i += U16_LENGTH(c);
    }
    return out;
}

}  // namespace

struct CompiledRegex::Impl {
    std::unique_ptr<icu::RegexPattern> pattern;
    icu::UnicodeString replacement;
};

CompiledRegex::CompiledRegex(const Text& expression, const Text& replacement) : impl_(std::make_unique<Impl>()) {
    const icu::UnicodeString source = toUnicode(expression);
    UParseError parseError{};
    UErrorCode status = U_ZERO_ERROR;
    impl_->pattern.reset(icu::RegexPattern::compile(source, 0, parseError, status));
    impl_->replacement = toUnicode(replacement);
    if (U_FAILURE(status) || !impl_->pattern) {
        impl_->pattern.reset();
        const std::string reason = u_errorName(status);
        error_.assign(reason.begin(), reason.end());
        // ICU counts UTF-16 units in its line; the user counts characters of the field.
        const int32_t units = parseError.offset < 0 ? 0 : std::min(parseError.offset, source.length());
        errorPosition_ = source.countChar32(0, units) + 1;
    }
}

CompiledRegex::~CompiledRegex() = default;

Text CompiledRegex::replaceAll(const Text& text) const {
    if (!impl_->pattern) return text;
    const icu::UnicodeString input = toUnicode(text);
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<icu::RegexMatcher> matcher(impl_->pattern->matcher(input, status));
    if (U_FAILURE(status) || !matcher) return text;
    matcher->setTimeLimit(kTimeLimit, status);
    matcher->setStackLimit(kStackLimit, status);
    if (U_FAILURE(status)) return text;
    // replaceAll() of ICU swallows a time out of its search; its own loop, written out, reports it.
    // Only what the replacement writes loses the characters a file name may not hold: the rest of
    // the text is the old name's, as without the expression.
    icu::UnicodeString result, piece;
    int32_t kept = 0;
    while (U_SUCCESS(status) && matcher->find(status)) {
        const int32_t start = matcher->start(status);
        piece.remove();
        matcher->appendReplacement(piece, impl_->replacement, status);
        if (U_FAILURE(status)) break;
        result.append(piece, 0, start - kept);
        for (int32_t i = start - kept; i < piece.length(); ++i)
            if (kForbidden.find(piece.charAt(i)) == std::u16string_view::npos) result.append(piece.charAt(i));
        kept = matcher->end(status);
    }
    if (U_SUCCESS(status)) matcher->appendTail(result);
    if (status == U_REGEX_TIME_OUT || status == U_REGEX_STACK_OVERFLOW) {
        tooComplex_.store(true, std::memory_order_relaxed);
        return text;
    }
    if (U_FAILURE(status)) return text;
    return fromUnicode(result);
}

Text regexNote(const CompiledRegex* regex) {
    if (!regex) return {};
    if (!regex->valid()) {
        const std::string position = std::to_string(regex->errorPosition());
        return U"Chybný regulární výraz: " + regex->error() + U" (znak " + Text(position.begin(), position.end()) +
               U")";
    }
    if (regex->tooComplex()) return kRegexTooComplex;
    return {};
}

}  // namespace zelvar
