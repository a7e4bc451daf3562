#include "preview/PreviewLayout.h"

namespace {

// A rectangle whose edges are distances from the client area's edges in
// dialog units: negative ones from the right or bottom edge.
QRect Anchored(const DialogUnits& units, QSize client, int left, int top, int right, int bottom)
{
    auto x = [&](int du) { return du < 0 ? client.width() + units.X(du) : units.X(du); };
    auto y = [&](int du) { return du < 0 ? client.height() + units.Y(du) : units.Y(du); };
    return QRect(QPoint(x(left), y(top)), QPoint(x(right) - 1, y(bottom) - 1));
}

}  // namespace

PreviewGeometry LayoutPreview(const DialogUnits& units, QSize client)
{
    PreviewGeometry geometry;
    geometry.closeButton = Anchored(units, client, -54, -17, -4, -3);
    geometry.percentButton = Anchored(units, client, 4, -17, 54, -3);
    geometry.text = Anchored(units, client, 4, 24, -4, -21);
    return geometry;
}
