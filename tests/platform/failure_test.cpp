#include "platform/failure.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>

using namespace zelvar;

namespace {

// Every failure the core reports reaches the user through this one text.
TEST(Failure, SaysWhatFailedAndTheSystemsReasonOrTheFixedReasonAlone) {
    const std::string missing = std::strerror(ENOENT);
    const std::pair<Failure, std::string> cases[] = {
        {Failure{ENOENT}, missing},
        {Failure{ENOENT, "Předvolbu nelze přečíst"}, "Předvolbu nelze přečíst: " + missing},
        {Failure{0, "záznam je neúplný"}, "záznam je neúplný"},
        {Failure{}, ""},
    };
    for (const auto& [failure, text] : cases) EXPECT_EQ(failureText(failure), text) << failure.what;
}

}  // namespace
