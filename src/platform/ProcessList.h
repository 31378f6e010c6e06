#pragma once
// The processes of the system, read from /proc.

#include <string>
#include <vector>

namespace platform {

struct ProcessInfo {
    int pid = -1;
    int parentPid = -1;
    // File name of the executable (from the exe link, else from the first command-line word);
    // not the 15-character command name. Kernel threads, which have neither, show their
    // command name in brackets.
    std::string exeName;
};

// Every process listed under procRoot, in directory order. Processes that vanish while being
// read are skipped.
std::vector<ProcessInfo> listProcesses(const std::string& procRoot = "/proc");

// How many listed processes have an executable named 'exeName', compared case-insensitively.
int countProcessesNamed(const std::string& exeName, const std::string& procRoot = "/proc");

}  // namespace platform
