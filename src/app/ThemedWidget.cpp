#include "app/ThemedWidget.h"

#include "app/FrameSkin.h"

ThemedWidget::~ThemedWidget() {
    for (FrameSkin*& f : frames) {
        if (f) f->release();
        f = nullptr;
    }
}
