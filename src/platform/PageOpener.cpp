#include "platform/PageOpener.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <thread>
#include <utility>

extern char** environ;

namespace platform {

namespace {

PageOpener customOpener;

// The first executable regular file named xdg-open on the PATH, or empty.
std::string findOpener() {
    const char* path = std::getenv("PATH");
    const std::string folders = path ? path : "/usr/local/bin:/usr/bin:/bin";
    size_t start = 0;
    for (;;) {
        const size_t end = folders.find(':', start);
        std::string folder = folders.substr(start, end == std::string::npos ? std::string::npos : end - start);
        if (folder.empty()) folder = ".";
        const std::string candidate = folder + "/xdg-open";
        struct stat info {};
        if (stat(candidate.c_str(), &info) == 0 && S_ISREG(info.st_mode) && access(candidate.c_str(), X_OK) == 0)
            return candidate;
        if (end == std::string::npos) return std::string();
        start = end + 1;
    }
}

std::string desktopProblem() {
    const std::string program = findOpener();
    if (program.empty()) return "xdg-open is not on the PATH";
    // It must also run: a script whose interpreter is missing is on the PATH all the same.
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    for (int fd : {STDIN_FILENO, STDOUT_FILENO, STDERR_FILENO})
        posix_spawn_file_actions_addopen(&actions, fd, "/dev/null", fd == STDIN_FILENO ? O_RDONLY : O_WRONLY, 0);
    char name[] = "xdg-open";
    char option[] = "--version";
    char* argv[] = {name, option, nullptr};
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) return program + " could not be started (" + std::strerror(spawned) + ")";
    int status = 0;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    for (;;) {
        const pid_t done = waitpid(pid, &status, WNOHANG);
        if (done == pid) break;
        if (done < 0 && errno != EINTR) return program + " could not be waited for (" + std::strerror(errno) + ")";
        if (std::chrono::steady_clock::now() > deadline) {
            kill(pid, SIGKILL);
            waitpid(pid, &status, 0);
            return program + " --version did not end";
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    if (WIFEXITED(status) && WEXITSTATUS(status) == 0) return std::string();
    if (WIFEXITED(status)) return program + " --version ended with status " + std::to_string(WEXITSTATUS(status));
    return program + " --version was ended by signal " + std::to_string(WTERMSIG(status));
}

bool desktopOpen(const std::string& url) {
    char program[] = "xdg-open";
    std::string argument = url;
    char* argv[] = {program, argument.data(), nullptr};
    pid_t pid = 0;
    // The opener runs on after the program has ended.
    return posix_spawnp(&pid, program, nullptr, nullptr, argv, environ) == 0;
}

}  // namespace

void setPageOpener(PageOpener opener) { customOpener = std::move(opener); }

std::string pageOpenerProblem() { return customOpener.problem ? customOpener.problem() : desktopProblem(); }

bool openUrl(const std::string& url) {
    if (url.empty()) return false;
    return customOpener.open ? customOpener.open(url) : desktopOpen(url);
}

}  // namespace platform
