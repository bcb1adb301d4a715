#pragma once
// The whole command-line program behind one call, so that tests can run it in process. Output is
// written as bytes (names appear with their own bytes on disk, never re-encoded); a usage error
// writes one line to `err` and touches nothing; the exit status is returned.
#include <cstdio>
#include <string>
#include <vector>

namespace zelvar::cli {

// args: the arguments without the program name. `in` is read only for "--edit -".
int runCli(const std::vector<std::string>& args, std::FILE* out, std::FILE* err, std::FILE* in);

// A text with every CR LF turned into LF and ending with LF (empty stays empty).
std::string unixLines(std::string text);

}  // namespace zelvar::cli
