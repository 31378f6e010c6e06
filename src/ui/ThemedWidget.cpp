#include "ui/ThemedWidget.h"

#include "ui/FrameSkin.h"

ThemedWidget::~ThemedWidget() {
    for (FrameSkin*& f : frames) {
        if (f) f->release();
        f = nullptr;
    }
}
