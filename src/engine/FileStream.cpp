#include "engine/FileStream.h"

FileStream::FileStream(WStringView path, int mode) {
    const std::string narrow = wideToUtf8(path);
    file = std::fopen(narrow.c_str(), (mode & MODE_WRITE) ? "wb" : "rb");
    bOpen = file != nullptr;
    if (bOpen && (mode & MODE_READ)) {
        if (std::fseek(file, 0, SEEK_END) == 0) {
            long end = std::ftell(file);
            size = end < 0 ? 0 : end > 0x7FFFFFFF ? 0x7FFFFFFF : static_cast<int>(end);
        }
        std::rewind(file);
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

void FileStream::writeLine(WStringView line) {
    if (!bOpen) return;
    std::string bytes = wideToUtf8(line);
    bytes += "\r\n";
    std::fwrite(bytes.data(), 1, bytes.size(), file);
}

bool FileStream::write(const void* data, size_t bytes) {
    if (!bOpen) return false;
    return bytes == 0 || std::fwrite(data, 1, bytes, file) == bytes;
}

void FileStream::flush() {
    if (bOpen) std::fflush(file);
}

void FileStream::close() {
    if (file) std::fclose(file);
    file = nullptr;
    bOpen = false;
}
