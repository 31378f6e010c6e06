// Whether the desktop can take a page: xdg-open found on the PATH and run with --version, so that a
// link is only followed by the program's end when the page will be handed on.

#include "platform/PageOpener.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <cerrno>
#include <cstdlib>
#include <string>

#include "support/TestFolder.h"

namespace {

struct PathGuard {
    PathGuard() : saved(std::getenv("PATH") ? std::getenv("PATH") : "") {}
    ~PathGuard() { setenv("PATH", saved.c_str(), 1); }
    std::string saved;
};

}  // namespace

TEST(PageOpenerTest, TheDesktopsOpenerMustBeOnThePathAndRun) {
    struct Case {
        const char* what;
        const char* script;  // null: no xdg-open in the folder
        mode_t mode;
        const char* problem;  // a part of the answer; empty: no problem
    } cases[] = {
        {"absent", nullptr, 0, "xdg-open is not on the PATH"},
        {"runs", "#!/bin/sh\nexit 0\n", 0755, ""},
        {"not executable", "#!/bin/sh\nexit 0\n", 0644, "xdg-open is not on the PATH"},
        {"fails", "#!/bin/sh\nexit 3\n", 0755, "--version ended with status 3"},
        {"interpreter missing", "#!/nonexistent/interpreter\n", 0755, "could not be started"},
        {"killed", "#!/bin/sh\nkill -KILL $$\n", 0755, "--version was ended by signal 9"},
    };
    PathGuard path;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TestFolder bin("opener-bin");
        if (c.script) {
            writeFileBytes(bin.file("xdg-open"), c.script);
            chmod(bin.file("xdg-open").c_str(), c.mode);
        }
        // Only the test's folder: a desktop opener installed on this machine stays out of sight.
        setenv("PATH", bin.path.c_str(), 1);
        const std::string problem = platform::pageOpenerProblem();
        if (c.problem[0] == 0) {
            EXPECT_EQ(problem, "");
        } else {
            EXPECT_NE(problem.find(c.problem), std::string::npos) << problem;
        }
        // The check leaves no child behind.
        errno = 0;
        EXPECT_EQ(waitpid(-1, nullptr, WNOHANG), -1);
        EXPECT_EQ(errno, ECHILD);
    }
}

TEST(PageOpenerTest, AnInjectedOpenerAnswersInsteadOfTheDesktop) {
    PathGuard path;
    setenv("PATH", "/nonexistent", 1);
    std::string opened;
    platform::setPageOpener({[] { return std::string(); },
                             [&](const std::string& url) {
                                 opened = url;
                                 return true;
                             }});
    EXPECT_EQ(platform::pageOpenerProblem(), "");
    EXPECT_TRUE(platform::openUrl("http://127.0.0.1:8/page"));
    EXPECT_EQ(opened, "http://127.0.0.1:8/page");
    // An empty page is never handed on.
    EXPECT_FALSE(platform::openUrl(""));
    EXPECT_EQ(opened, "http://127.0.0.1:8/page");
    platform::setPageOpener({});
    EXPECT_EQ(platform::pageOpenerProblem(), "xdg-open is not on the PATH");
}
