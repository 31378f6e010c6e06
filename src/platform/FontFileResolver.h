#pragma once
// Finds the font file for a face name: a pinned file first (tests pin exact files), then
// fontconfig, with "Arial" and "Tahoma" asked for as the installed free faces that stand in for
// them ("Liberation Sans" and "DejaVu Sans").

#include <string>
#include <string_view>

namespace platform {

class FontFileResolver {
public:
    // The file of the best match, or "" when fontconfig finds nothing.
    static std::string resolve(std::u16string_view faceName, int weight, bool italic);
    // Makes the face name resolve to this file; an empty path removes the pin.
    static void pin(std::u16string_view faceName, const std::string& path);
    // The family asked of fontconfig for a face name.
    static std::string substituteFamily(std::u16string_view faceName);
};

}  // namespace platform
