#pragma once
// An INI text held in memory: sections of key-value pairs with typed getters and setters.
//
// Reading: lines are trimmed and empty ones skipped; a line without "=" is a section header whose
// first and last characters are dropped; other lines split at their first "=" (neither side
// trimmed again); a key keeps its first value. Keys before any header go to the section "".
// Sections and keys keep the order in which they first appeared. Sections and keys are found
// through hash indexes, so reading a text and looking keys up take time in proportion to its size.

#include <cstddef>
#include <functional>
#include <list>
#include <string_view>
#include <unordered_map>
#include <utility>

#include "engine/Text.h"

class ByteBuffer;

class MemoryIniFile {
public:
    struct TextHash {
        using is_transparent = void;
        size_t operator()(WStringView text) const { return std::hash<WStringView>{}(text); }
    };

    // The keys of one section in the order they first appeared; references to values stay valid
    // until their key is removed.
    class Section {
    public:
        using Entry = std::pair<WString, WString>;
        using const_iterator = std::list<Entry>::const_iterator;

        Section() = default;
        // The index points into the list: moving keeps both, copying would not.
        Section(Section&&) = default;
        Section& operator=(Section&&) = default;
        Section(const Section&) = delete;
        Section& operator=(const Section&) = delete;

        const_iterator begin() const { return entries.begin(); }
        const_iterator end() const { return entries.end(); }
        size_t size() const { return entries.size(); }
        bool empty() const { return entries.empty(); }

        WString* find(WStringView key);
        // Adds the key unless it is there (a key keeps its first value); true when added.
        bool insert(WStringView key, WStringView value);
        // Sets the value, adding the key when missing.
        void set(WStringView key, WStringView value);
        void erase(WStringView key);

    private:
        std::list<Entry> entries;
        // Keyed by views of the keys in 'entries': list nodes never move, and a key never changes.
        std::unordered_map<WStringView, std::list<Entry>::iterator, TextHash> index;
    };

    // What the file-name constructor found.
    enum class LoadState {
        NO_FILE,     // nothing there: the object starts empty
        LOADED,      // read and parsed, or refused as damage (see damage)
        UNREADABLE,  // something is there that could not be read (see loadProblem)
    };

    // Reads the file when it exists (through the engine's FileManager when there is one, else from
    // disk); otherwise starts empty. save() writes to the same name. A file on disk larger than
    // 'maxBytes' is not read: the object starts empty and 'damage' says why.
    explicit MemoryIniFile(WStringView fileName, size_t maxBytes = 0x7FFFFFFF);
    explicit MemoryIniFile(const ByteBuffer& bytes);
    virtual ~MemoryIniFile() = default;
    MemoryIniFile(MemoryIniFile&&) = default;
    MemoryIniFile& operator=(MemoryIniFile&&) = default;
    MemoryIniFile(const MemoryIniFile&) = delete;
    MemoryIniFile& operator=(const MemoryIniFile&) = delete;

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
    // returns false (and leaves any old file as it was) when it cannot be written, with the reason
    // in 'reason' when given.
    bool save(WString* reason = nullptr);
    // The text save() writes.
    std::string toUtf8() const;
    // Drops every section.
    void clear();

    WString fileName;
    std::list<std::pair<WString, Section>> sections;
    LoadState loadState = LoadState::NO_FILE;
    // Why an existing file could not be read.
    WString loadProblem;
    // Empty when the text read is a plain INI text; otherwise what in it is not: a character that
    // is no text (a control character, a NUL, a byte of no valid UTF-8 sequence) or a line that is
    // neither a bracketed section header nor a key with "=". Parsing goes on as the rules say. Also
    // set for a file over the size limit, which is not parsed.
    WString damage;

private:
    void parse(const WString& text);
    const WString* findValue(WStringView section, WStringView key);

    // Keyed by views of the names in 'sections'.
    std::unordered_map<WStringView, Section*, TextHash> sectionIndex;
};
