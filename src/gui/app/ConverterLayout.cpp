#include "app/ConverterLayout.h"

#include <algorithm>

QSize MinimumConverterClient(const DialogUnits& units)
{
    return units.Size(204, 162);
}

ConverterGeometry LayoutConverter(const DialogUnits& units, QSize client)
{
    client = client.expandedTo(MinimumConverterClient(units));
    ConverterGeometry g;
    g.convert = units.Anchored(client, -62, -16, -3, -2);
    g.add = units.Anchored(client, -62, 16, -3, 30);
    g.remove = units.Anchored(client, -62, 34, -3, 48);
    g.group = units.Anchored(client, -62, 55, -3, 109);
    g.palmDoc = units.Anchored(client, -53, 66, -8, 77);
    g.zTxt = units.Anchored(client, -53, 80, -22, 90);
    g.advanced = units.Anchored(client, -53, 95, -5, 106);
    g.list = units.Anchored(client, 4, 16, -64, -2);

    // The column of buttons lines up with the group box's frame, one pixel
    // wider to the left; the buttons beside the frame sit a pixel higher;
    // the list keeps a pixel clear of its neighbours.
    for (QRect* r : {&g.add, &g.remove, &g.group})
        r->setLeft(r->left() - 1);
    for (QRect* r : {&g.convert, &g.palmDoc, &g.advanced})
        r->translate(0, -1);
    g.list.setRight(g.list.right() - 1);
    g.list.setBottom(g.list.bottom() - 1);
    return g;
}

void KeepInsideFrame(ConverterGeometry& g, const QRect& inside)
{
    const int down = std::min(inside.top() - g.palmDoc.top(), inside.bottom() - g.advanced.bottom());
    if (down <= 0)
        return;
    for (QRect* r : {&g.palmDoc, &g.zTxt, &g.advanced})
        r->translate(0, down);
}
