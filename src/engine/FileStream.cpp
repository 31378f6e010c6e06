#include "engine/FileStream.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/FileSystem.h"

FileStream::FileStream(WStringView path, int mode) {
    const std::string narrow = wideToUtf8(path);
    const bool writing = (mode & MODE_WRITE) != 0;
    const int fd = writing ? platform::openRegularFileForWriting(narrow, error) : platform::openRegularFileForReading(narrow, error);
    if (fd < 0) return;
    file = fdopen(fd, writing ? "wb" : "rb");
    if (!file) {
        error = errno;
        ::close(fd);
        return;
    }
    bOpen = true;
    if (mode & MODE_READ) {
        struct stat st {};
        if (fstat(fd, &st) == 0) size = st.st_size < 0 ? 0 : st.st_size > 0x7FFFFFFF ? 0x7FFFFFFF : static_cast<int>(st.st_size);
    }
}

FileStream::~FileStream() { close(); }

int FileStream::read(void* destination, int bytes) {
    if (!bOpen) return -1;
    if (bytes <= 0) return 0;
    return static_cast<int>(std::fread(destination, 1, static_cast<size_t>(bytes), file));
}

void FileStream::seek(int position) {
    if (bOpen) std::fseek(file, position, SEEK_SET);
}

bool FileStream::writeLine(WStringView line) {
    if (!bOpen) return false;
    std::string bytes = wideToUtf8(line);
    bytes += "\r\n";
    return std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
}

bool FileStream::write(const void* data, size_t bytes) {
    if (!bOpen) return false;
    return bytes == 0 || std::fwrite(data, 1, bytes, file) == bytes;
}

bool FileStream::flush() { return bOpen && std::fflush(file) == 0; }

void FileStream::close() {
    if (file) std::fclose(file);
    file = nullptr;
    bOpen = false;
}

WString FileStream::errorText() const { return utf8ToWide(platform::fileErrorText(error)); }
