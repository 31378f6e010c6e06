#include "engine/MemoryIniFile.h"

#include <unistd.h>

#include <cstdio>

#include "engine/ByteBuffer.h"
#include "engine/DataBlock.h"
#include "engine/FileManager.h"
#include "engine/Qel.h"
#include "engine/ErrorManager.h"
#include "engine/FileStream.h"
#include "engine/Utilities.h"

MemoryIniFile::MemoryIniFile(WStringView name) : fileName(name) {
    if (qel && qel->pFileManager) {
        // Disk or archive, by the FileManager's rule.
        if (!qel->pFileManager->exists(fileName)) return;
        DataBlock block(0, fileName);
        ByteBuffer bytes(block.getData(), block.getSize());
        parse(bytes.toText());
        return;
    }
    // Without an engine (early start-up, tools, tests) the file is read from disk.
    FileStream file(fileName, FileStream::MODE_READ);
    if (!file.bOpen) return;
    ByteBuffer bytes;
    char chunk[16384];
    for (int n; (n = file.read(chunk, sizeof(chunk))) > 0;) bytes.append(chunk, n);
    parse(bytes.toText());
}

MemoryIniFile::MemoryIniFile(const ByteBuffer& bytes) { parse(bytes.toText()); }

void MemoryIniFile::parse(const WString& text) {
    Section* current = nullptr;
    for (WString line : splitLines(text)) {
        trim(line);
        if (line.empty()) continue;
        const size_t eq = line.find(u'=');
        if (eq == WString::npos) {
            // A header: drop its first and last characters, whatever they are.
            current = &getSection(line.size() >= 2 ? WStringView(line).substr(1, line.size() - 2) : WStringView());
            continue;
        }
        if (!current) current = &getSection(u"");
        WStringView key = WStringView(line).substr(0, eq);
        bool present = false;
        for (auto& kv : *current)
            if (kv.first == key) present = true;
        if (!present) current->emplace_back(WString(key), line.substr(eq + 1));
    }
}

MemoryIniFile::Section& MemoryIniFile::getSection(WStringView section) {
    for (auto& s : sections)
        if (s.first == section) return s.second;
    sections.emplace_back(WString(section), Section());
    return sections.back().second;
}

const WString* MemoryIniFile::findValue(WStringView section, WStringView key) {
    for (auto& kv : getSection(section))
        if (kv.first == key) return &kv.second;
    return nullptr;
}

bool MemoryIniFile::hasKey(WStringView section, WStringView key) { return findValue(section, key) != nullptr; }

void MemoryIniFile::removeKey(WStringView section, WStringView key) {
    Section& s = getSection(section);
    for (auto it = s.begin(); it != s.end(); ++it)
        if (it->first == key) {
            s.erase(it);
            return;
        }
}

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

void MemoryIniFile::setString(WStringView section, WStringView key, WStringView value) {
    Section& s = getSection(section);
    for (auto& kv : s)
        if (kv.first == key) {
            kv.second = value;
            return;
        }
    s.emplace_back(WString(key), WString(value));
}

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

bool MemoryIniFile::save() {
    if (fileName.empty()) return false;
    const std::string text = toUtf8();
    return writeFileAtomically(fileName, text.data(), text.size());
}
