// ostrel-wrap: the re-wrapping engine as a filter for pipes, editors and hooks.
#include <csignal>
#include <cstdio>
#include <string>

#include "cli/Filter.h"

int main(int argc, char** argv) {
    // A closed pipe is a failed write, reported like any other.
    std::signal(SIGPIPE, SIG_IGN);
    FilterOptions options;
    std::string out, err;
    const int early = ParseFilterArgs(argc, argv, options, out, err);
    if (early >= 0) {
        std::fputs(out.c_str(), stdout);
        std::fputs(err.c_str(), stderr);
        return std::fflush(stdout) == 0 ? early : FilterFailed;
    }
    std::string error;
    const int status = RunFilter(options, 0, 1, error);
    if (status == FilterFailed) std::fprintf(stderr, "%s\n", error.c_str());
    return status;
}
