// Running an outside program to completion (POSIX): no shell, a chosen working folder, its
// output collected. The command line tool renders through it; the viewer starts POV-Ray itself.
#pragma once

#include <string>
#include <vector>

struct CProcessResult {
    bool started = false;  // false: the program could not be started (see `error`)
    int exitStatus = -1;   // exit status when it ended normally, otherwise -1
    std::string output;    // everything it wrote to stdout and stderr, interleaved
    std::string error;     // why it did not start or did not end normally, else empty
};

// Runs argv[0] (looked up on PATH when it holds no '/') with the arguments argv[1..] in
// `workingFolder` (the current folder when empty), stdin from /dev/null, and waits for it.
CProcessResult RunProcess(const std::vector<std::string>& argv, const std::string& workingFolder);
