#include "preview/PreviewLayout.h"

#include "preview/Templates.h"

#include <algorithm>

using namespace PreviewTemplate;

PreviewGeometry LayoutPreview(const DialogUnits& units, QSize client, bool notice)
{
    // The row above the text moves by the width gained, so that at the
    // template's size it stands exactly where the template puts it.
    const int wider = std::max(0, client.width() - units.X(kWidth));
    PreviewGeometry geometry;
    geometry.combo = units.Map(kComboRect).adjusted(0, 0, wider, 0);
    geometry.addButton = units.Map(kAddRect).translated(wider, 0);
    geometry.exploreButton = units.Map(kExploreRect).translated(wider, 0);
    geometry.closeButton = units.Anchored(client, -54, -17, -4, -3);
    geometry.percentButton = units.Anchored(client, 4, -17, 54, -3);
    geometry.text = units.Anchored(client, 4, notice ? 24 + kNoticeHeight : 24, -4, -21);
    if (notice)
        geometry.notice = units.Anchored(client, 4, kNoticeTop, -4, kNoticeTop + kNoticeHeight - 1);
    return geometry;
}
