#pragma once
// Checks in a child process of a death test (forked where it stands, so that what lasts until the
// process ends stays with it: once-per-run reports, files kept unchanged, dropped privileges).
// The child counts failed checks and exits with their number; what it wrote to standard error
// while captured is written again at its end for the parent's pattern.

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

inline int& childFailures() {
    static int failures = 0;
    return failures;
}

#define CHILD_EXPECT(condition)                                                             \
    do {                                                                                    \
        if (!(condition)) {                                                                 \
            std::fprintf(stderr, "CHECK FAILED (%s:%d): %s\n", __FILE__, __LINE__, #condition); \
            ++childFailures();                                                              \
        }                                                                                   \
    } while (0)

inline size_t countOf(const std::string& text, const std::string& part) {
    size_t n = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
    return n;
}

// Standard error of the child into a file, to count what the program said there.
class ChildStderr {
public:
    ChildStderr() : file(std::tmpfile()) {
        std::fflush(stderr);
        saved = dup(STDERR_FILENO);
        if (file) dup2(fileno(file), STDERR_FILENO);
    }
    ChildStderr(const ChildStderr&) = delete;
    ChildStderr& operator=(const ChildStderr&) = delete;
    std::string take() {
        std::fflush(stderr);
        dup2(saved, STDERR_FILENO);
        close(saved);
        std::string text;
        if (!file) return text;
        std::rewind(file);
        char buffer[4096];
        for (size_t n; (n = std::fread(buffer, 1, sizeof(buffer), file)) > 0;) text.append(buffer, n);
        std::fclose(file);
        file = nullptr;
        return text;
    }

private:
    FILE* file;
    int saved = -1;
};

// Ends the child: what it said on standard error goes out again, then the count of failures.
[[noreturn]] inline void finishChild(const std::string& capturedStderr) {
    std::fputs(capturedStderr.c_str(), stderr);
    std::fflush(nullptr);
    std::_Exit(childFailures());  // no leak check or static teardown in the child
}
