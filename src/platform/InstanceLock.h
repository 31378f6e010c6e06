#pragma once
// The lock that lets only one copy of the program run for a user.
//
// The lock is an advisory lock (flock) on a file in the user's own data folder: the system grants
// it to exactly one open file at a time, so of two copies started together exactly one holds it,
// copies of other users (other folders) never see it, and it goes with the process however that
// ends. When the lock file can be neither created nor opened (a read-only folder without one), an
// abstract local socket with a name made for the user decides instead, with the same rules.

#include <string>

namespace platform {

class InstanceLock {
public:
    InstanceLock() = default;
    ~InstanceLock();
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;

    // Tries to take the lock; true when this object now holds it (or already held it), false when
    // another holder has it. 'socketName' names the abstract socket used when the file cannot be
    // opened.
    bool acquire(const std::string& lockFilePath, const std::string& socketName);
    void release();
    bool isHeld() const { return fd >= 0; }
    // How the lock is held: "file" or "socket" (empty when not held).
    const std::string& method() const { return how; }

    // The abstract socket name for this product and user: "<product>.<uid>".
    static std::string socketNameFor(const std::string& product);

private:
    int fd = -1;
    std::string how;
};

}  // namespace platform
