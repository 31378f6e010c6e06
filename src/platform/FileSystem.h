#pragma once
// Opening, reading and replacing files with plain system calls.
//
// Only regular files are opened: a named pipe, a device or a folder in place of a file is refused
// at once instead of blocking the caller (opening a pipe for reading waits for a writer). Every
// failure carries the system's reason, so that callers can say why a file could not be used.

#include <cstddef>
#include <string>

namespace platform {

// Error code of the functions below for something that exists but is not a regular file.
constexpr int NOT_A_REGULAR_FILE = -1;

// The system's text for an errno value, or "not a regular file" for NOT_A_REGULAR_FILE.
std::string fileErrorText(int error);

// Opens a regular file for reading without waiting on a pipe or device; returns the descriptor
// (close-on-exec, blocking again), or -1 with 'error' set to errno or NOT_A_REGULAR_FILE.
int openRegularFileForReading(const std::string& path, int& error);
// Opens (creating or truncating) a file for writing; refuses anything but a regular file the same
// way. 'exclusive' fails when the path exists and never follows a symbolic link.
int openRegularFileForWriting(const std::string& path, int& error, bool exclusive = false);

enum class ReadOutcome {
    OK,
    MISSING,     // nothing there (the file or a folder above it does not exist)
    UNREADABLE,  // something is there but could not be read: permissions, an I/O error, not
                 // a regular file, or a symbolic link that leads nowhere
    TOO_LARGE,   // a regular file larger than the limit (not read)
};
// Reads a whole regular file of at most 'limit' bytes into 'out'; 'reason' says why not.
ReadOutcome readRegularFile(const std::string& path, std::string& out, std::string& reason, size_t limit = size_t(1) << 30);

// A regular file read a piece at a time, so that a large file can be taken over several frames.
class FileReader {
public:
    FileReader() = default;
    ~FileReader() { close(); }
    FileReader(const FileReader&) = delete;
    FileReader& operator=(const FileReader&) = delete;

    // Opens the file with the outcomes and the size limit of readRegularFile.
    ReadOutcome open(const std::string& path, std::string& reason, size_t limit = size_t(1) << 30);
    // Reads up to 'size' bytes: the count read, 0 at the end of the file, -1 on an error ('reason'
    // says which; the file is closed). A file that grows past the limit while read is an error.
    long read(void* data, size_t size, std::string& reason);
    bool isOpen() const { return fd >= 0; }
    // The file's size when it was opened.
    size_t size() const { return openedSize; }
    void close();

private:
    int fd = -1;
    std::string path;
    size_t limit = 0, done = 0, openedSize = 0;
};

// Writes a whole file through a temporary file beside it (".tmp" added), synced and then renamed
// into place, so that a crash or a full disk never leaves a half-written file. On failure any old
// file at the path is left as it was, the temporary file is removed and 'reason' names the step,
// the file and the system's reason.
bool replaceFile(const std::string& path, const void* data, size_t size, std::string& reason);
// Renames a file (replacing an existing target); 'reason' says why not.
bool renameFile(const std::string& from, const std::string& to, std::string& reason);
// Renames a file only when nothing (not even a dangling link) is at the target; 'targetTaken' is
// set when that is why it failed. 'reason' says why not.
bool renameFileWithoutReplacing(const std::string& from, const std::string& to, bool& targetTaken, std::string& reason);
// Removes a file; a file that is not there counts as removed. 'reason' says why not.
bool removeFile(const std::string& path, std::string& reason);

// Tests: the steps at which a file operation can be made to fail, and a hook that returns the
// errno value to fail a step on a path with (0 lets it run). Null by default.
enum class FileStep { OPEN_READ, READ, CREATE, WRITE, SYNC, RENAME, REMOVE };
using FileFaultHook = int (*)(const std::string& path, FileStep step);
void setFileFaultHook(FileFaultHook hook);

}  // namespace platform
