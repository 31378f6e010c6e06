#include "support/FolderTrouble.h"

#include <fcntl.h>
#include <grp.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <string>

#include "platform/FileSystem.h"
#include "support/TestFolder.h"

namespace {

std::string troubledPath;
FolderTrouble troubleKind = FolderTrouble::READ_ONLY;
std::set<std::string> unreadablePaths;

bool isUnder(const std::string& path) {
    return path.size() > troubledPath.size() && path.compare(0, troubledPath.size(), troubledPath) == 0 &&
           path[troubledPath.size()] == '/';
}

int folderFault(const std::string& path, platform::FileStep step) {
    if (!isUnder(path)) return 0;
    if (troubleKind == FolderTrouble::READ_ONLY)
        return step == platform::FileStep::CREATE || step == platform::FileStep::RENAME ? EROFS : 0;
    return step == platform::FileStep::WRITE ? ENOSPC : 0;
}

int unreadableFault(const std::string& path, platform::FileStep step) {
    return unreadablePaths.count(path) && step == platform::FileStep::OPEN_READ ? EACCES : 0;
}

bool writeText(const std::string& path, const std::string& text) {
    const int fd = open(path.c_str(), O_WRONLY | O_CLOEXEC);
    if (fd < 0) return false;
    const bool ok = write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
    close(fd);
    return ok;
}

// A mount namespace of this process only; mounts made in it are not seen outside.
bool privateMounts() {
    if (geteuid() == 0) {
        if (unshare(CLONE_NEWNS) != 0) return false;
    } else {
        const uid_t uid = geteuid();
        const gid_t gid = getegid();
        if (unshare(CLONE_NEWUSER | CLONE_NEWNS) != 0) return false;
        writeText("/proc/self/setgroups", "deny");
        if (!writeText("/proc/self/uid_map", "0 " + std::to_string(uid) + " 1") ||
            !writeText("/proc/self/gid_map", "0 " + std::to_string(gid) + " 1"))
            return false;
    }
    return mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0;
}

bool readOnlyMount(const std::string& folder) {
    if (!privateMounts()) return false;
    return mount(folder.c_str(), folder.c_str(), nullptr, MS_BIND, nullptr) == 0 &&
           mount(nullptr, folder.c_str(), nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY, nullptr) == 0;
}

// The folder's files move onto a tmpfs of a few pages mounted over it; a filler file then takes
// every block that is left.
bool fullMount(const std::string& folder) {
    std::map<std::string, std::string> files;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        if (entry.is_regular_file()) files[entry.path().filename().string()] = readFileBytes(entry.path().string());
    if (!privateMounts()) return false;
    if (mount("tmpfs", folder.c_str(), "tmpfs", 0, "size=256k,mode=0755") != 0) return false;
    for (const auto& [name, bytes] : files) writeFileBytes(folder + "/" + name, bytes);
    const int fd = open((folder + "/filler").c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0) return false;
    static const char block[4096] = {};
    while (write(fd, block, sizeof(block)) > 0) {
    }
    while (write(fd, block, 1) > 0) {
    }
    const bool full = errno == ENOSPC;
    close(fd);
    return full;
}

}  // namespace

std::string makeFolderTrouble(const std::string& folder, FolderTrouble trouble) {
    if (trouble == FolderTrouble::READ_ONLY) {
        if (geteuid() != 0 && chmod(folder.c_str(), 0555) == 0) return "permissions";
        if (readOnlyMount(folder)) return "mount";
    } else if (fullMount(folder)) {
        return "mount";
    }
    troubledPath = folder;
    troubleKind = trouble;
    platform::setFileFaultHook(folderFault);
    return "seam";
}

std::string makeFileUnreadable(const std::string& path, const std::string& tree) {
    if (geteuid() == 0) {
        // Root reads whatever the mode says: become a user that owns the test's files instead.
        const uid_t nobody = 65534;
        std::error_code ec;
        bool owned = lchown(tree.c_str(), nobody, nobody) == 0;
        for (auto it = std::filesystem::recursive_directory_iterator(tree, ec); owned && !ec && it != std::filesystem::end(it);
             it.increment(ec))
            owned = lchown(it->path().c_str(), nobody, nobody) == 0;
        if (owned && !ec && chmod(path.c_str(), 0) == 0 && setgroups(0, nullptr) == 0 && setgid(nobody) == 0 && setuid(nobody) == 0 &&
            access(path.c_str(), R_OK) != 0)
            return "permissions";
    } else if (chmod(path.c_str(), 0) == 0 && access(path.c_str(), R_OK) != 0) {
        return "permissions";
    }
    unreadablePaths.insert(path);
    platform::setFileFaultHook(unreadableFault);
    return "seam";
}
