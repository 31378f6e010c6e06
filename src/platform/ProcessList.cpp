#include "platform/ProcessList.h"

#include <dirent.h>
#include <strings.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>

#include "platform/System.h"

namespace platform {

namespace {

std::string fileNameOf(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string exeNameOf(const std::string& dir) {
    char target[PATH_MAX + 1] = {};
    const ssize_t n = readlink((dir + "/exe").c_str(), target, PATH_MAX);
    if (n > 0) {
        std::string path(target, static_cast<size_t>(n));
        static const std::string deleted = " (deleted)";
        if (path.size() > deleted.size() && path.compare(path.size() - deleted.size(), deleted.size(), deleted) == 0)
            path.resize(path.size() - deleted.size());
        return fileNameOf(path);
    }
    // Processes of other users: the first word of the command line.
    std::string cmdline;
    readWholeFile(dir + "/cmdline", cmdline, 4096);
    return fileNameOf(cmdline.substr(0, cmdline.find('\0')));
}

bool readStat(const std::string& dir, int& parentPid, std::string& comm) {
    std::string stat;
    if (!readWholeFile(dir + "/stat", stat, 4096)) return false;
    // "pid (comm) state ppid ...": the command may hold spaces and parentheses.
    const size_t open = stat.find('(');
    const size_t close = stat.rfind(')');
    if (open == std::string::npos || close == std::string::npos || close < open || close + 4 > stat.size()) return false;
    comm = stat.substr(open + 1, close - open - 1);
    const char* p = stat.c_str() + close + 2;  // the state letter
    while (*p && *p != ' ') ++p;
    char* end = nullptr;
    const long ppid = std::strtol(p, &end, 10);
    if (end == p || ppid < 0 || ppid > INT_MAX) return false;
    parentPid = static_cast<int>(ppid);
    return true;
}

}  // namespace

std::vector<ProcessInfo> listProcesses(const std::string& procRoot) {
    std::vector<ProcessInfo> list;
    DIR* d = opendir(procRoot.c_str());
    if (!d) return list;
    while (const dirent* e = readdir(d)) {
        char* end = nullptr;
        const long pid = std::strtol(e->d_name, &end, 10);
        if (end == e->d_name || *end != 0 || pid <= 0 || pid > INT_MAX) continue;
        const std::string dir = procRoot + "/" + e->d_name;
        ProcessInfo info;
        info.pid = static_cast<int>(pid);
        std::string comm;
        if (!readStat(dir, info.parentPid, comm)) continue;
        info.exeName = exeNameOf(dir);
        // Kernel threads have neither: their command name is all there is.
        if (info.exeName.empty()) info.exeName = "[" + comm + "]";
        list.push_back(std::move(info));
    }
    closedir(d);
    return list;
}

int countProcessesNamed(const std::string& exeName, const std::string& procRoot) {
    int count = 0;
    for (const ProcessInfo& p : listProcesses(procRoot))
        if (!p.exeName.empty() && strcasecmp(p.exeName.c_str(), exeName.c_str()) == 0) ++count;
    return count;
}

}  // namespace platform
