// Where the preview's controls stand in a client area of a given size: the
// text grows with the window, the percent and Close buttons keep to its
// bottom edge and Close to its right edge; the controls above the text keep
// their template places.
#pragma once

#include "common/DialogUnits.h"

#include <QRect>
#include <QSize>

struct PreviewGeometry {
    QRect text;
    QRect percentButton;
    QRect closeButton;
};

PreviewGeometry LayoutPreview(const DialogUnits& units, QSize client);
