#include "platform/FileSystem.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>

namespace platform {

namespace {

std::atomic<FileFaultHook> faultHook{nullptr};

int injectedFault(const std::string& path, FileStep step) {
    const FileFaultHook hook = faultHook.load();
    return hook ? hook(path, step) : 0;
}

// What a path that is not a regular file is, for the reason text.
std::string kindOf(const std::string& path) {
    struct stat st {};
    // What a symbolic link leads to is what could not be opened.
    if (stat(path.c_str(), &st) != 0) return {};
    if (S_ISFIFO(st.st_mode)) return "a named pipe";
    if (S_ISDIR(st.st_mode)) return "a folder";
    if (S_ISSOCK(st.st_mode)) return "a socket";
    if (S_ISCHR(st.st_mode) || S_ISBLK(st.st_mode)) return "a device";
    return {};
}

std::string describe(const std::string& path, int error) {
    if (error != NOT_A_REGULAR_FILE) return fileErrorText(error);
    const std::string kind = kindOf(path);
    return kind.empty() ? fileErrorText(error) : "it is " + kind + ", not a regular file";
}

// Opens with O_NONBLOCK so that a pipe or device answers at once, checks the kind of file and
// makes the descriptor blocking again.
int openChecked(const std::string& path, int flags, int& error) {
    const int fd = open(path.c_str(), flags | O_NONBLOCK | O_CLOEXEC | O_NOCTTY, 0644);
    if (fd < 0) {
        error = errno;
        // A pipe without a reader refuses a writer with ENXIO; say what it is instead.
        if (error == ENXIO || error == EISDIR) error = NOT_A_REGULAR_FILE;
        return -1;
    }
    struct stat st {};
    if (fstat(fd, &st) != 0) {
        error = errno;
        close(fd);
        return -1;
    }
    if (!S_ISREG(st.st_mode)) {
        error = NOT_A_REGULAR_FILE;
        close(fd);
        return -1;
    }
    const int status = fcntl(fd, F_GETFL);
    if (status != -1) fcntl(fd, F_SETFL, status & ~O_NONBLOCK);
    error = 0;
    return fd;
}

bool writeAll(int fd, const void* data, size_t size, int& error) {
    const auto* p = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t n = write(fd, p, size);
        if (n < 0) {
            if (errno == EINTR) continue;
            error = errno;
            return false;
        }
        if (n == 0) {
            error = ENOSPC;
            return false;
        }
        p += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

}  // namespace

std::string fileErrorText(int error) {
    if (error == NOT_A_REGULAR_FILE) return "not a regular file";
    return std::strerror(error);
}

int openRegularFileForReading(const std::string& path, int& error) {
    if ((error = injectedFault(path, FileStep::OPEN_READ)) != 0) return -1;
    return openChecked(path, O_RDONLY, error);
}

int openRegularFileForWriting(const std::string& path, int& error, bool exclusive) {
    if ((error = injectedFault(path, FileStep::CREATE)) != 0) return -1;
    return openChecked(path, O_WRONLY | O_CREAT | (exclusive ? O_EXCL | O_NOFOLLOW : O_TRUNC), error);
}

ReadOutcome readRegularFile(const std::string& path, std::string& out, std::string& reason, size_t limit) {
    out.clear();
    reason.clear();
    int error = 0;
    const int fd = openRegularFileForReading(path, error);
    if (fd < 0) {
        struct stat link {};
        if (error == ENOENT && lstat(path.c_str(), &link) == 0 && S_ISLNK(link.st_mode)) {
            // A symbolic link that leads nowhere is there all the same: a file written in its
            // place would replace the link.
            reason = "it is a symbolic link to nothing";
            return ReadOutcome::UNREADABLE;
        }
        if (error == ENOENT || error == ENOTDIR) return ReadOutcome::MISSING;
        reason = describe(path, error);
        return ReadOutcome::UNREADABLE;
    }
    struct stat st {};
    if (fstat(fd, &st) == 0 && static_cast<unsigned long long>(st.st_size) > limit) {
        close(fd);
        reason = "larger than " + std::to_string(limit) + " bytes";
        return ReadOutcome::TOO_LARGE;
    }
    if ((error = injectedFault(path, FileStep::READ)) != 0) {
        close(fd);
        reason = fileErrorText(error);
        return ReadOutcome::UNREADABLE;
    }
    char buffer[65536];
    for (;;) {
        const ssize_t n = read(fd, buffer, sizeof(buffer));
        if (n == 0) break;
        if (n < 0) {
            if (errno == EINTR) continue;
            reason = fileErrorText(errno);
            close(fd);
            out.clear();
            return ReadOutcome::UNREADABLE;
        }
        if (out.size() + static_cast<size_t>(n) > limit) {
            close(fd);
            out.clear();
            reason = "larger than " + std::to_string(limit) + " bytes";
            return ReadOutcome::TOO_LARGE;
        }
        out.append(buffer, static_cast<size_t>(n));
    }
    close(fd);
    return ReadOutcome::OK;
}

ReadOutcome FileReader::open(const std::string& filePath, std::string& reason, size_t sizeLimit) {
    close();
    reason.clear();
    int error = 0;
    const int opened = openRegularFileForReading(filePath, error);
    if (opened < 0) {
        if (error == ENOENT || error == ENOTDIR) return ReadOutcome::MISSING;
        reason = describe(filePath, error);
        return ReadOutcome::UNREADABLE;
    }
    struct stat st {};
    if (fstat(opened, &st) == 0 && static_cast<unsigned long long>(st.st_size) > sizeLimit) {
        ::close(opened);
        reason = "larger than " + std::to_string(sizeLimit) + " bytes";
        return ReadOutcome::TOO_LARGE;
    }
    fd = opened;
    path = filePath;
    limit = sizeLimit;
    done = 0;
    openedSize = st.st_size > 0 ? static_cast<size_t>(st.st_size) : 0;
    return ReadOutcome::OK;
}

long FileReader::read(void* data, size_t size, std::string& reason) {
    if (fd < 0) {
        reason = "not open";
        return -1;
    }
    int error = injectedFault(path, FileStep::READ);
    if (error == 0) {
        for (;;) {
            const ssize_t n = ::read(fd, data, size);
            if (n < 0 && errno == EINTR) continue;
            if (n < 0) {
                error = errno;
                break;
            }
            if (done + static_cast<size_t>(n) > limit) {
                close();
                reason = "larger than " + std::to_string(limit) + " bytes";
                return -1;
            }
            done += static_cast<size_t>(n);
            return static_cast<long>(n);
        }
    }
    close();
    reason = fileErrorText(error);
    return -1;
}

void FileReader::close() {
    if (fd >= 0) ::close(fd);
    fd = -1;
}

bool replaceFile(const std::string& path, const void* data, size_t size, std::string& reason) {
    const std::string temp = path + ".tmp";
    // A temporary file left by a crash is replaced; anything else there makes the create fail.
    unlink(temp.c_str());
    int error = 0;
    const int fd = openRegularFileForWriting(temp, error, true);
    if (fd < 0) {
        reason = "cannot create '" + temp + "': " + describe(temp, error);
        return false;
    }
    bool ok = true;
    if ((error = injectedFault(temp, FileStep::WRITE)) != 0 || !writeAll(fd, data, size, error)) {
        reason = "writing '" + temp + "' failed: " + fileErrorText(error);
        ok = false;
    } else if ((error = injectedFault(temp, FileStep::SYNC)) != 0 || fsync(fd) != 0) {
        // A full disk often shows only here, when the data is given blocks.
        if (error == 0) error = errno;
        reason = "writing '" + temp + "' failed: " + fileErrorText(error);
        ok = false;
    }
    if (close(fd) != 0 && ok) {
        reason = "writing '" + temp + "' failed: " + fileErrorText(errno);
        ok = false;
    }
    if (ok && ((error = injectedFault(path, FileStep::RENAME)) != 0 || rename(temp.c_str(), path.c_str()) != 0)) {
        if (error == 0) error = errno;
        reason = "cannot rename '" + temp + "' to '" + path + "': " + fileErrorText(error);
        ok = false;
    }
    if (!ok) unlink(temp.c_str());
    return ok;
}

bool renameFile(const std::string& from, const std::string& to, std::string& reason) {
    int error = injectedFault(from, FileStep::RENAME);
    if (error == 0 && rename(from.c_str(), to.c_str()) == 0) return true;
    if (error == 0) error = errno;
    reason = fileErrorText(error);
    return false;
}

bool renameFileWithoutReplacing(const std::string& from, const std::string& to, bool& targetTaken, std::string& reason) {
    targetTaken = false;
    int error = injectedFault(from, FileStep::RENAME);
    if (error == 0) {
        if (renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return true;
        error = errno;
        if (error == EINVAL || error == ENOSYS) {
            // A file system without the flag: look first. Only a process of this user could slip a
            // file in between, and only one copy of the program runs per user.
            struct stat st {};
            if (lstat(to.c_str(), &st) == 0) {
                error = EEXIST;
            } else if (rename(from.c_str(), to.c_str()) == 0) {
                return true;
            } else {
                error = errno;
            }
        }
    }
    targetTaken = error == EEXIST;
    reason = fileErrorText(error);
    return false;
}

bool removeFile(const std::string& path, std::string& reason) {
    int error = injectedFault(path, FileStep::REMOVE);
    if (error == 0 && (unlink(path.c_str()) == 0 || errno == ENOENT)) return true;
    if (error == 0) error = errno;
    reason = fileErrorText(error);
    return false;
}

void setFileFaultHook(FileFaultHook hook) { faultHook.store(hook); }

}  // namespace platform
