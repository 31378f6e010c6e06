#include "platform/System.h"

#include "platform/Cursor.h"

#include <SDL.h>
#include <fcntl.h>
#include <malloc.h>
#include <pwd.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>

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
    if (SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, title.c_str(), textUtf8.c_str(), nullptr) != 0) {
        const char* why = SDL_GetError();
        result.reason = why && *why ? why : "the system could not show it";
        return result;
    }
    result.shown = true;
    return result;
}

void returnFreeMemory() { malloc_trim(0); }

}  // namespace platform
