#include "platform/System.h"

#include "platform/Cursor.h"

#include <SDL.h>
#include <fcntl.h>
#include <malloc.h>
#include <poll.h>
#include <pwd.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <iterator>

namespace platform {

std::string computerName() {
    char name[HOST_NAME_MAX + 1] = {};
    if (gethostname(name, sizeof(name) - 1) != 0) return {};
    return name;
}

std::string userName() {
    if (const passwd* pw = getpwuid(geteuid()); pw && pw->pw_name) return pw->pw_name;
    if (const char* env = std::getenv("USER")) return env;
    return {};
}

namespace {
std::atomic<std::string (*)()> accountHomeHook{nullptr};
}  // namespace

std::string accountHomeFolder() {
    if (const auto hook = accountHomeHook.load()) return hook();
    const passwd* pw = getpwuid(geteuid());
    if (!pw || !pw->pw_dir || pw->pw_dir[0] != '/') return {};
    struct stat st {};
    if (stat(pw->pw_dir, &st) != 0 || !S_ISDIR(st.st_mode)) return {};
    return pw->pw_dir;
}

void setAccountHomeHook(std::string (*hook)()) { accountHomeHook.store(hook); }

std::string executablePath() {
    char path[PATH_MAX + 1] = {};
    const ssize_t n = readlink("/proc/self/exe", path, PATH_MAX);
    return n > 0 ? std::string(path, static_cast<size_t>(n)) : std::string();
}

bool readWholeFile(const std::string& path, std::string& out, size_t limit) {
    out.clear();
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    char buffer[65536];
    bool ok = true;
    while (out.size() < limit) {
        const ssize_t n = read(fd, buffer, std::min(sizeof(buffer), limit - out.size()));
        if (n == 0) break;
        if (n < 0) {
            if (errno == EINTR) continue;
            ok = false;
            break;
        }
        out.append(buffer, static_cast<size_t>(n));
    }
    close(fd);
    return ok;
}

uint32_t millisecondClock() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<uint32_t>(static_cast<uint64_t>(ts.tv_sec) * 1000u + static_cast<uint64_t>(ts.tv_nsec) / 1000000u);
}

bool hasDisplay() {
    const char* x = std::getenv("DISPLAY");
    const char* w = std::getenv("WAYLAND_DISPLAY");
    return (x && *x) || (w && *w);
}

void writeErrorReport(const std::string& title, const std::string& textUtf8) {
    const std::string text = title + ":\n" + textUtf8 + "\n";
    size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = write(STDERR_FILENO, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        done += static_cast<size_t>(n);
    }
}

namespace {

// The ending signals while an error box waits: each writes its number to a pipe that the waiting
// loop watches.
int boxSignalPipe = -1;
constexpr int kBoxEndingSignals[] = {SIGTERM, SIGHUP, SIGINT};

void onBoxEndingSignal(int sig) {
    const int saved = errno;
    const unsigned char number = static_cast<unsigned char>(sig);
    if (boxSignalPipe >= 0) (void)!write(boxSignalPipe, &number, 1);
    errno = saved;
}

// The box in a process group of its own (the system's box may run in a further child), so that
// an ending signal can take it down as a whole. The child reports why a box could not be shown
// through a pipe.
ErrorBoxResult showBoxInChild(const std::string& title, const std::string& textUtf8) {
    ErrorBoxResult result;
    int reasonPipe[2];
    int signalPipe[2];
    if (pipe2(reasonPipe, O_CLOEXEC) != 0) {
        result.reason = std::string("no pipe for the box (") + std::strerror(errno) + ")";
        return result;
    }
    if (pipe2(signalPipe, O_CLOEXEC | O_NONBLOCK) != 0) {
        result.reason = std::string("no pipe for the box (") + std::strerror(errno) + ")";
        close(reasonPipe[0]);
        close(reasonPipe[1]);
        return result;
    }
    boxSignalPipe = signalPipe[1];
    struct sigaction action {};
    action.sa_handler = onBoxEndingSignal;
    sigemptyset(&action.sa_mask);
    struct sigaction previous[std::size(kBoxEndingSignals)];
    for (size_t i = 0; i < std::size(kBoxEndingSignals); ++i) sigaction(kBoxEndingSignals[i], &action, &previous[i]);

    const pid_t child = fork();
    if (child == 0) {
        setpgid(0, 0);
        prctl(PR_SET_PDEATHSIG, SIGKILL);
        for (size_t i = 0; i < std::size(kBoxEndingSignals); ++i) signal(kBoxEndingSignals[i], SIG_DFL);
        close(reasonPipe[0]);
        if (SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, title.c_str(), textUtf8.c_str(), nullptr) != 0) {
            const char* why = SDL_GetError();
            const std::string text = why && *why ? why : "the system could not show it";
            (void)!write(reasonPipe[1], text.data(), text.size());
            _exit(1);
        }
        _exit(0);
    }
    close(reasonPipe[1]);
    if (child < 0) {
        result.reason = std::string("no process for the box (") + std::strerror(errno) + ")";
    } else {
        setpgid(child, child);
        int status = 0;
        for (;;) {
            const pid_t done = waitpid(child, &status, WNOHANG);
            if (done == child || (done < 0 && errno != EINTR)) break;
            unsigned char number = 0;
            if (read(signalPipe[0], &number, 1) == 1) {
                result.closedBySignal = number;
                kill(-child, SIGKILL);
                kill(child, SIGKILL);
                while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
                }
                break;
            }
            pollfd watched{signalPipe[0], POLLIN, 0};
            poll(&watched, 1, 50);
        }
        if (result.closedBySignal != 0 || (WIFEXITED(status) && WEXITSTATUS(status) == 0)) {
            result.shown = true;
        } else {
            char why[512];
            const ssize_t n = read(reasonPipe[0], why, sizeof(why));
            result.reason = n > 0 ? std::string(why, size_t(n)) : "the box's process failed";
        }
    }
    for (size_t i = 0; i < std::size(kBoxEndingSignals); ++i) sigaction(kBoxEndingSignals[i], &previous[i], nullptr);
    boxSignalPipe = -1;
    close(reasonPipe[0]);
    close(signalPipe[0]);
    close(signalPipe[1]);
    return result;
}

}  // namespace

ErrorBoxResult showErrorBox(const std::string& title, const std::string& textUtf8, bool alreadyOnStandardError) {
    if (!alreadyOnStandardError) writeErrorReport(title, textUtf8);
    // The game hides the system cursor over its window; a report must be readable and dismissable.
    setCursorVisible(true);
    ErrorBoxResult result;
    const char* silent = std::getenv("VESK_SILENT_ERRORS");
    if (silent && *silent && *silent != '0') {
        result.reason = "silenced";
        return result;
    }
    if (!hasDisplay()) {
        result.reason = "no display";
        return result;
    }
    return showBoxInChild(title, textUtf8);
}

void returnFreeMemory() { malloc_trim(0); }

}  // namespace platform
