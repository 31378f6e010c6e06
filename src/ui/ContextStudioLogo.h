#pragma once
// The studio's logo on black for 3.5 seconds, or until skipped.

#include "media/Context.h"

class ContextStudioLogo : public Context {
public:
    ContextStudioLogo();
};
