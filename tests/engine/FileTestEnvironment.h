#pragma once
// A temporary working folder with an engine object that has a FileManager and a
// ResourceManager, for the tests of files, archives and resources.

#include <unistd.h>

#include <string>

#include "engine/FileManager.h"
#include "engine/Qel.h"
#include "engine/ResourceManager.h"
#include "support/TestFolder.h"

struct FileTestEnvironment {
    FileTestEnvironment() : folder("vesk-files") {
        previousFolder = getCurrentFolderNarrow();
        if (chdir(folder.path.c_str()) != 0) std::abort();
        engine = new Qel();  // with its FileManager and ResourceManager
        engine->pFileManager->bEnableDelayedLoad = false;
    }
    ~FileTestEnvironment() {
        delete engine;
        if (chdir(previousFolder.c_str()) != 0) std::abort();
    }
    FileManager& files() { return *engine->pFileManager; }

    static std::string getCurrentFolderNarrow() {
        char buffer[4096];
        return getcwd(buffer, sizeof(buffer)) ? std::string(buffer) : std::string("/");
    }

    TestFolder folder;
    std::string previousFolder;
    Qel* engine = nullptr;
};
