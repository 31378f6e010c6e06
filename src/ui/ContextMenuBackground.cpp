#include "ui/ContextMenuBackground.h"

#include "ui/SnowEffect.h"

ContextMenuBackground::ContextMenuBackground() { addChild(new SnowEffect(pCamera, 1.0f)); }
