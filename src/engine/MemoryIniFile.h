#pragma once
// An INI text held in memory: sections of key-value pairs with typed getters and setters.
//
// Reading: lines are trimmed and empty ones skipped; a line without "=" is a section header whose
// first and last characters are dropped; other lines split at their first "=" (neither side
// trimmed again); a key keeps its first value. Keys before any header go to the section "".
// Sections and keys keep the order in which they first appeared.

#include <utility>
#include <vector>

#include "engine/Text.h"

class ByteBuffer;

class MemoryIniFile {
public:
    using Section = std::vector<std::pair<WString, WString>>;

    // Reads the file when it exists (through the engine's FileManager when there is one, else from
    // disk); otherwise starts empty. save() writes to the same name.
    explicit MemoryIniFile(WStringView fileName);
    explicit MemoryIniFile(const ByteBuffer& bytes);
    virtual ~MemoryIniFile() = default;

    bool hasKey(WStringView section, WStringView key);
    void removeKey(WStringView section, WStringView key);
    // The section, created empty when missing.
    Section& getSection(WStringView section);

    // A missing key is fatal: "Key '%s' could not be found in section '%s'."
    const WString& getString(WStringView section, WStringView key);
    int getInt(WStringView section, WStringView key);
    double getDouble(WStringView section, WStringView key);
    bool getBool(WStringView section, WStringView key);

    void setString(WStringView section, WStringView key, WStringView value);
    void setInt(int value, WStringView section, WStringView key);
    void setDouble(double value, WStringView section, WStringView key);
    void setBool(bool value, WStringView section, WStringView key);

    // Writes the text as UTF-8 with a byte-order mark, through a temporary file renamed into place;
    // returns false (and leaves any old file as it was) when it cannot be written.
    bool save();
    // The text save() writes.
    std::string toUtf8() const;

    WString fileName;
    std::vector<std::pair<WString, Section>> sections;

private:
    void parse(const WString& text);
    const WString* findValue(WStringView section, WStringView key);
};
