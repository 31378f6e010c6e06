#pragma once
// Addresses of the pages on the maker's web server, on the host that the HTTP requests use.

#include "engine/Text.h"

class MakerPage {
public:
    // "http://<host><path>"; the path starts with "/".
    static WString url(WStringView path);
};
