// zelvar-cli: the rename core driven from the command line.
#include <cstdio>
#include <string>
#include <vector>

#include "cli/run_cli.h"

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    int status = zelvar::cli::runCli(args, stdout, stderr, stdin);
    // A script must not take a cut-off listing for the whole one.
    if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
        std::fputs("zelvar-cli: cannot write the output\n", stderr);
        if (status == 0) status = 1;
    }
    return status;
}
