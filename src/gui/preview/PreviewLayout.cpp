#include "preview/PreviewLayout.h"

PreviewGeometry LayoutPreview(const DialogUnits& units, QSize client)
{
    PreviewGeometry geometry;
    geometry.combo = units.Anchored(client, 46, 5, -166, 5 + 132);
    geometry.addButton = units.Anchored(client, -158, 4, -83, 18);
    geometry.exploreButton = units.Anchored(client, -79, 4, -4, 18);
    geometry.closeButton = units.Anchored(client, -54, -17, -4, -3);
    geometry.percentButton = units.Anchored(client, 4, -17, 54, -3);
    geometry.text = units.Anchored(client, 4, 24, -4, -21);
    return geometry;
}
