#include "engine/MemoryIniFile.h"

#include "engine/ByteBuffer.h"
#include "engine/DataBlock.h"
#include "engine/ErrorManager.h"
#include "engine/FileManager.h"
#include "engine/Qel.h"
#include "engine/Utilities.h"
#include "platform/FileSystem.h"

WString* MemoryIniFile::Section::find(WStringView key) {
    const auto it = index.find(key);
    return it == index.end() ? nullptr : &it->second->second;
}

bool MemoryIniFile::Section::insert(WStringView key, WStringView value) {
    if (index.find(key) != index.end()) return false;
    entries.emplace_back(WString(key), WString(value));
    index.emplace(entries.back().first, std::prev(entries.end()));
    return true;
}

void MemoryIniFile::Section::set(WStringView key, WStringView value) {
    if (WString* existing = find(key)) *existing = value;
    else insert(key, value);
}

void MemoryIniFile::Section::erase(WStringView key) {
    const auto it = index.find(key);
    if (it == index.end()) return;
    entries.erase(it->second);
    index.erase(it);
}

MemoryIniFile::MemoryIniFile(WStringView name, size_t maxBytes) : fileName(name) {
    FileManager* fm = qel ? qel->pFileManager : nullptr;
    // Archives, and loose files that archive creation records, go through the FileManager's rule.
    if (fm && !fm->bForceDisk && (fm->bUseWad || fm->bCreateWad)) {
        if (!fm->exists(fileName)) return;
        DataBlock block(0, fileName);
        ByteBuffer bytes(block.getData(), block.getSize());
        loadState = LoadState::LOADED;
        parse(bytes.toText());
        return;
    }
    // A file on disk: whether it is missing or there but unreadable (a pipe, a folder, no
    // permission, an I/O error) matters to the owner, who must not overwrite the latter.
    const std::string path = wideToUtf8(fm ? fm->getDiskPath(fileName) : fileName);
    std::string bytes, reason;
    switch (platform::readRegularFile(path, bytes, reason, maxBytes)) {
        case platform::ReadOutcome::OK: {
            loadState = LoadState::LOADED;
            parse(ByteBuffer(bytes.data(), static_cast<int>(bytes.size())).toText());
            return;
        }
        case platform::ReadOutcome::MISSING: return;
        case platform::ReadOutcome::TOO_LARGE:
            loadState = LoadState::LOADED;
            damage = utf8ToWide(reason);
            return;
        case platform::ReadOutcome::UNREADABLE:
            loadState = LoadState::UNREADABLE;
            loadProblem = utf8ToWide(reason);
            return;
    }
}

MemoryIniFile::MemoryIniFile(const ByteBuffer& bytes) {
    loadState = LoadState::LOADED;
    parse(bytes.toText());
}

namespace {

// Text that a settings file never holds: control characters other than tab and line ends, and
// the replacement character that decoding puts for bytes of no valid UTF-8 sequence.
bool isNoText(char16_t c) { return (c < 0x20 && c != u'\t' && c != u'\r' && c != u'\n') || c == 0x7F || c == 0xFFFD; }

}  // namespace

void MemoryIniFile::parse(const WString& text) {
    for (size_t i = 0; i < text.size() && damage.empty(); ++i)
        if (isNoText(text[i])) damage = format(u"character %d is not text (U+%04X)", static_cast<int>(i), static_cast<unsigned>(text[i]));

    // Lines are taken as views of the text: one pass, no copy of a line.
    constexpr WStringView blanks = u" \t\r\n";
    Section* current = nullptr;
    int lineNumber = 0;
    WStringView rest(text);
    while (!rest.empty()) {
        const size_t end = rest.find(u'\n');
        WStringView line = rest.substr(0, end);
        rest = end == WStringView::npos ? WStringView() : rest.substr(end + 1);
        ++lineNumber;
        const size_t first = line.find_first_not_of(blanks);
        if (first == WStringView::npos) continue;
        line = line.substr(first, line.find_last_not_of(blanks) - first + 1);
        const size_t eq = line.find(u'=');
        if (eq == WStringView::npos) {
            if (damage.empty() && (line.size() < 2 || line.front() != u'[' || line.back() != u']'))
                damage = format(u"line %d is neither a section header nor a key", lineNumber);
            // A header: drop its first and last characters, whatever they are.
            current = &getSection(line.size() >= 2 ? line.substr(1, line.size() - 2) : WStringView());
            continue;
        }
        if (!current) current = &getSection(u"");
        current->insert(line.substr(0, eq), line.substr(eq + 1));
    }
}

MemoryIniFile::Section& MemoryIniFile::getSection(WStringView section) {
    if (const auto it = sectionIndex.find(section); it != sectionIndex.end()) return *it->second;
    sections.emplace_back(WString(section), Section());
    Section* added = &sections.back().second;
    sectionIndex.emplace(sections.back().first, added);
    return *added;
}

const WString* MemoryIniFile::findValue(WStringView section, WStringView key) { return getSection(section).find(key); }

bool MemoryIniFile::hasKey(WStringView section, WStringView key) { return findValue(section, key) != nullptr; }

void MemoryIniFile::removeKey(WStringView section, WStringView key) { getSection(section).erase(key); }

const WString& MemoryIniFile::getString(WStringView section, WStringView key) {
    const WString* value = findValue(section, key);
    if (!value) QEL_FATAL(u"MemoryIniFile::getString", u"Key '%s' could not be found in section '%s'.", key, section);
    return *value;
}

int MemoryIniFile::getInt(WStringView section, WStringView key) {
    int32_t v = 0;
    return scanInt(getString(section, key), v) ? v : 0;
}

double MemoryIniFile::getDouble(WStringView section, WStringView key) {
    double v = 0;
    return scanDouble(getString(section, key), v) ? v : 0.0;
}

bool MemoryIniFile::getBool(WStringView section, WStringView key) {
    const WString& v = getString(section, key);
    return !v.empty() && v[0] == u'Y';
}

void MemoryIniFile::setString(WStringView section, WStringView key, WStringView value) { getSection(section).set(key, value); }

void MemoryIniFile::setInt(int value, WStringView section, WStringView key) { setString(section, key, format(u"%d", value)); }
void MemoryIniFile::setDouble(double value, WStringView section, WStringView key) { setString(section, key, format(u"%.8lf", value)); }
void MemoryIniFile::setBool(bool value, WStringView section, WStringView key) { setString(section, key, value ? u"Yes" : u"No"); }

std::string MemoryIniFile::toUtf8() const {
    std::string text = "\xEF\xBB\xBF";
    for (const auto& [name, keys] : sections) {
        text += "[" + wideToUtf8(name) + "]\r\n";
        for (const auto& [key, value] : keys) text += wideToUtf8(key) + "=" + wideToUtf8(value) + "\r\n";
        text += "\r\n";
    }
    return text;
}

void MemoryIniFile::clear() {
    sectionIndex.clear();
    sections.clear();
}

bool MemoryIniFile::save(WString* reason) {
    if (fileName.empty()) {
        if (reason) *reason = u"it has no file name";
        return false;
    }
    const std::string text = toUtf8();
    return writeFileAtomically(fileName, text.data(), text.size(), reason);
}
