#include "preview/PreviewLayout.h"

PreviewGeometry LayoutPreview(const DialogUnits& units, QSize client)
{
    PreviewGeometry geometry;
    geometry.closeButton = units.Anchored(client, -54, -17, -4, -3);
    geometry.percentButton = units.Anchored(client, 4, -17, 54, -3);
    geometry.text = units.Anchored(client, 4, 24, -4, -21);
    return geometry;
}
