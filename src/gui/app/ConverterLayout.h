// Where the main dialog's controls stand in a client area of a given size:
// the buttons and the format choice keep to its right edge, Convert to its
// bottom right corner, and the list takes the rest.
#pragma once

#include "common/DialogUnits.h"

#include <QRect>
#include <QSize>

struct ConverterGeometry {
    QRect list;
    QRect add;
    QRect remove;
    QRect group;
    QRect palmDoc;
    QRect zTxt;
    QRect advanced;
    QRect convert;
};

// The smallest client area: the controls stop moving below it.
QSize MinimumConverterClient(const DialogUnits& units);

// The controls' rectangles for a client area of `client` (raised to the minimum).
ConverterGeometry LayoutConverter(const DialogUnits& units, QSize client);

// Moves the format buttons and Advanced down, as far as the room below them
// allows, until they start inside `inside`, the group's frame without its
// title: a style may give the title more room than the template did.
void KeepInsideFrame(ConverterGeometry& g, const QRect& inside);
