// The one-copy lock: exactly one holder per user folder, whatever the program is called.

#include "platform/InstanceLock.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <vector>

#include "support/TestFolder.h"

namespace {

using platform::InstanceLock;

// A socket name no other test or program uses.
std::string socketName(const char* what) { return "vesk-test-" + std::to_string(getpid()) + "-" + what; }

TEST(InstanceLockTest, OneHolderPerLockFileUntilItLetsGo) {
    TestFolder folder("vesk-lock");
    InstanceLock first, second;
    ASSERT_TRUE(first.acquire(folder.file("game.lock"), socketName("a")));
    EXPECT_EQ(first.method(), "file");
    EXPECT_FALSE(second.acquire(folder.file("game.lock"), socketName("b")));
    EXPECT_FALSE(second.isHeld());
    first.release();
    EXPECT_TRUE(second.acquire(folder.file("game.lock"), socketName("b")));
}

TEST(InstanceLockTest, AnotherUsersFolderIsAnotherLock) {
    TestFolder ann("vesk-lock-ann"), bo("vesk-lock-bo");
    InstanceLock first, second;
    EXPECT_TRUE(first.acquire(ann.file("game.lock"), socketName("ann")));
    EXPECT_TRUE(second.acquire(bo.file("game.lock"), socketName("bo")));
}

TEST(InstanceLockTest, OfManyCopiesStartedTogetherExactlyOneHoldsTheLock) {
    TestFolder folder("vesk-lock");
    const std::string lockPath = folder.file("game.lock");
    const std::string name = socketName("race");
    for (int round = 0; round < 5; ++round) {
        int go[2], done[2], tried[2];
        ASSERT_EQ(pipe(go), 0);
        ASSERT_EQ(pipe(done), 0);
        ASSERT_EQ(pipe(tried), 0);
        std::vector<pid_t> children;
        for (int i = 0; i < 6; ++i) {
            const pid_t pid = fork();
            ASSERT_GE(pid, 0);
            if (pid == 0) {
                char byte;
                close(go[1]);
                close(done[1]);
                close(tried[0]);
                if (read(go[0], &byte, 1) != 1) _exit(3);  // all start at the same moment
                InstanceLock lock;
                const bool held = lock.acquire(lockPath, name);
                if (write(tried[1], "t", 1) != 1) _exit(3);
                // Hold on until every copy has tried.
                [[maybe_unused]] ssize_t n = read(done[0], &byte, 1);
                _exit(held ? 0 : 1);
            }
            children.push_back(pid);
        }
        close(go[0]);
        close(done[0]);
        close(tried[1]);
        const std::string start(children.size(), 'g');
        ASSERT_EQ(write(go[1], start.data(), start.size()), static_cast<ssize_t>(start.size()));
        // The holder lets go only once every copy has tried, however slowly the copies are
        // scheduled on a busy machine.
        char byte;
        for (size_t tries = 0; tries < children.size() && read(tried[0], &byte, 1) == 1;) ++tries;
        close(tried[0]);
        close(done[1]);
        close(go[1]);
        int holders = 0;
        for (pid_t pid : children) {
            int status = 0;
            ASSERT_EQ(waitpid(pid, &status, 0), pid);
            ASSERT_TRUE(WIFEXITED(status));
            ASSERT_LE(WEXITSTATUS(status), 1);
            holders += WEXITSTATUS(status) == 0;
        }
        EXPECT_EQ(holders, 1) << "round " << round;
    }
}

TEST(InstanceLockTest, WithoutALockFileTheSocketDecidesTheSameWay) {
    // A read-only folder without a lock file: the file can be neither created nor opened.
    const std::string noFile = "/nonexistent-vesk-folder/game.lock";
    InstanceLock first, second, other;
    ASSERT_TRUE(first.acquire(noFile, socketName("fallback")));
    EXPECT_EQ(first.method(), "socket");
    EXPECT_FALSE(second.acquire(noFile, socketName("fallback")));
    EXPECT_TRUE(other.acquire(noFile, socketName("other-user")));
    first.release();
    EXPECT_TRUE(second.acquire(noFile, socketName("fallback")));
}

TEST(InstanceLockTest, SocketNameIsTheProductAndTheUser) {
    EXPECT_EQ(InstanceLock::socketNameFor("VeskDiruzuri"), "VeskDiruzuri." + std::to_string(getuid()));
}

}  // namespace
