// Where the preview's controls stand in a client area of a given size: the
// text grows with the window, the percent and Close buttons keep to its
// bottom edge and Close to its right edge. Above the text, the bookmark list
// widens and Add and Explore keep to the right edge, over the text's. A
// notice line, when there is one, takes the top of the text's place.
#pragma once

#include "common/DialogUnits.h"

#include <QRect>
#include <QSize>

struct PreviewGeometry {
    QRect combo;  // its height is the list's own
    QRect addButton;
    QRect exploreButton;
    QRect notice;  // empty without a notice
    QRect text;
    QRect percentButton;
    QRect closeButton;
};

PreviewGeometry LayoutPreview(const DialogUnits& units, QSize client, bool notice = false);
