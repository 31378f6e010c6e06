#include "platform/ProcessList.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "support/TestFolder.h"

namespace {

// A stand-in for /proc: one folder per process with its stat, command line and exe link.
class FakeProc {
public:
    void add(int pid, int parentPid, const std::string& comm, const std::string& exePath, const std::string& argv0 = "") {
        const std::string dir = folder.file(std::to_string(pid));
        std::filesystem::create_directory(dir);
        writeFileBytes(dir + "/stat", std::to_string(pid) + " (" + comm + ") S " + std::to_string(parentPid) + " 1 1 0 -1\n");
        writeFileBytes(dir + "/cmdline", argv0.empty() ? std::string() : argv0 + std::string("\0-x\0", 4));
        if (!exePath.empty()) symlink(exePath.c_str(), (dir + "/exe").c_str());
    }
    TestFolder folder{"fake-proc"};
};

TEST(ProcessListTest, ReadsParentsAndExecutableNamesNotTheShortCommandName) {
    FakeProc proc;
    proc.add(1, 0, "init", "/sbin/init");
    proc.add(42, 1, "VeskDiruzuri-lo", "/opt/game/VeskDiruzuri-long-name");
    proc.add(43, 42, "odd) (name", "/usr/bin/odd");
    proc.add(44, 1, "other", "", "/home/u/bin/Tool");  // exe link unreadable: first command word
    std::filesystem::create_directory(proc.folder.file("self"));
    auto list = platform::listProcesses(proc.folder.path);
    std::sort(list.begin(), list.end(), [](const auto& a, const auto& b) { return a.pid < b.pid; });
    ASSERT_EQ(list.size(), 4u);
    EXPECT_EQ(list[1].exeName, "VeskDiruzuri-long-name");
    EXPECT_EQ(list[1].parentPid, 1);
    EXPECT_EQ(list[2].parentPid, 42);
    EXPECT_EQ(list[2].exeName, "odd");
    EXPECT_EQ(list[3].exeName, "Tool");
}

TEST(ProcessListTest, CountsExecutablesByNameIgnoringCase) {
    FakeProc proc;
    proc.add(10, 1, "VeskDiruzuri", "/a/VeskDiruzuri");
    proc.add(11, 1, "veskdiruzuri", "/b/veskdiruzuri");
    proc.add(12, 1, "VeskDiruzuri", "/c/VeskDiruzuri2");
    proc.add(13, 1, "VeskDiruzuri", "/d/VeskDiruzuri (deleted)");
    EXPECT_EQ(platform::countProcessesNamed("VESKDIRUZURI", proc.folder.path), 3);
    EXPECT_EQ(platform::countProcessesNamed("VeskDiruzuri2", proc.folder.path), 1);
    EXPECT_EQ(platform::countProcessesNamed("Vesk", proc.folder.path), 0);
}

TEST(ProcessListTest, FindsThisProcessInTheRealList) {
    // /proc changes under a busy machine while it is read; a few reads settle it.
    bool found = false;
    for (int attempt = 0; attempt < 5 && !found; ++attempt)
        for (const auto& p : platform::listProcesses())
            if (p.pid == getpid()) found = p.parentPid == getppid() && p.exeName == "tests_platform";
    EXPECT_TRUE(found);
}

}  // namespace
