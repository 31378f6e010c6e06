#pragma once
// A temporary folder that is removed with its contents when the object goes.

#include <filesystem>
#include <string>

#include "engine/Text.h"

struct TestFolder {
    explicit TestFolder(const std::string& prefix);
    ~TestFolder();
    TestFolder(const TestFolder&) = delete;
    TestFolder& operator=(const TestFolder&) = delete;

    // A path inside the folder.
    std::string file(const std::string& name) const { return path + "/" + name; }
    WString wfile(const std::string& name) const { return utf8ToWide(file(name)); }

    std::string path;
};

// Whole file contents as bytes ("" when missing), and writing them.
std::string readFileBytes(const std::string& path);
void writeFileBytes(const std::string& path, const std::string& bytes);
