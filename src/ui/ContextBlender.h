#pragma once
// A screen whose camera is a GlidingCamera.

#include "media/Context.h"

class GlidingCamera;

class ContextBlender : public Context {
    QEL_DECLARE_CLASS()
public:
    ContextBlender();
    ~ContextBlender() override;

    GlidingCamera* getGlidingCamera() const;
};
