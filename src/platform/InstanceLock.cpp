#include "platform/InstanceLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <cstring>

namespace platform {

namespace {

// An existing lock file is enough for reading: flock needs no write access.
int openLockFile(const std::string& path) {
    int fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK, 0644);
    if (fd < 0) fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
    return fd;
}

}  // namespace

InstanceLock::~InstanceLock() { release(); }

bool InstanceLock::acquire(const std::string& lockFilePath, const std::string& socketName) {
    if (fd >= 0) return true;
    const int file = lockFilePath.empty() ? -1 : openLockFile(lockFilePath);
    if (file >= 0) {
        int result;
        while ((result = flock(file, LOCK_EX | LOCK_NB)) != 0 && errno == EINTR) {
        }
        if (result == 0) {
            fd = file;
            how = "file";
            return true;
        }
        const int error = errno;
        close(file);
        // Only a lock held elsewhere says no; a file system without locks falls to the socket.
        if (error == EWOULDBLOCK) return false;
    }

    const int sock = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (sock < 0) return true;  // nothing can decide: running is better than refusing to start
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    // Abstract namespace: a leading NUL, no file, gone with the process.
    const size_t length = std::min(socketName.size(), sizeof(address.sun_path) - 1);
    std::memcpy(address.sun_path + 1, socketName.data(), length);
    const auto size = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + length);
    if (bind(sock, reinterpret_cast<const sockaddr*>(&address), size) == 0) {
        fd = sock;
        how = "socket";
        return true;
    }
    const int error = errno;
    close(sock);
    return error != EADDRINUSE;
}

void InstanceLock::release() {
    if (fd < 0) return;
    close(fd);
    fd = -1;
    how.clear();
}

std::string InstanceLock::socketNameFor(const std::string& product) { return product + "." + std::to_string(getuid()); }

}  // namespace platform
