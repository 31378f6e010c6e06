#include "platform/FontFileResolver.h"

#include <fontconfig/fontconfig.h>

#include <cstdlib>
#include <map>

namespace platform {

namespace {

std::string toUtf8(std::u16string_view text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        char32_t c = text[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            c = 0xFFFD;
        }
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (c >> 18));
            out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

std::map<std::u16string, std::string>& pins() {
    static std::map<std::u16string, std::string> table;
    return table;
}

}  // namespace

std::string FontFileResolver::substituteFamily(std::u16string_view faceName) {
    if (faceName == u"Arial") return "Liberation Sans";
    if (faceName == u"Tahoma") return "DejaVu Sans";
    return toUtf8(faceName);
}

void FontFileResolver::pin(std::u16string_view faceName, const std::string& path) {
    if (path.empty()) pins().erase(std::u16string(faceName));
    else pins()[std::u16string(faceName)] = path;
}

std::string FontFileResolver::resolve(std::u16string_view faceName, int weight, bool italic) {
    if (auto it = pins().find(std::u16string(faceName)); it != pins().end()) return it->second;
    static const bool initialised = [] {
        if (!FcInit()) return false;
        // Hands fontconfig's caches back at exit, so leak checks see only our own allocations.
        std::atexit(FcFini);
        return true;
    }();
    if (!initialised) return {};
    FcPattern* pattern = FcPatternCreate();
    if (!pattern) return {};
    const std::string family = substituteFamily(faceName);
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
    FcPatternAddInteger(pattern, FC_WEIGHT, weight >= 600 ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
    FcPatternAddInteger(pattern, FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(nullptr, pattern, &result);
    std::string path;
    if (match) {
        FcChar8* file = nullptr;
        if (FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch && file) path = reinterpret_cast<const char*>(file);
        FcPatternDestroy(match);
    }
    FcPatternDestroy(pattern);
    return path;
}

}  // namespace platform
