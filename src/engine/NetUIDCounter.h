#pragma once
// Carries the current role's UID counter ("THEROLE->nextObjectUID") through a packet, so that a
// peer hands out the same object ids.

#include "engine/QelBase.h"

class NetUIDCounter : public QelBase {
    QEL_DECLARE_CLASS()
public:
    // QelBase's properties, then the role's counter (nothing more while there is no role).
    void describe(PropertyContainer* group) override;
};
