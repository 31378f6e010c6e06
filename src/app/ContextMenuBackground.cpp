#include "app/ContextMenuBackground.h"

#include "app/SnowEffect.h"

ContextMenuBackground::ContextMenuBackground() { addChild(new SnowEffect(pCamera, 1.0f)); }
