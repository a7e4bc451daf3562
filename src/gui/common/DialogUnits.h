// Dialog units, in which every window of the program is laid out: a quarter
// of the dialog font's average character width across and an eighth of its
// height down, so windows grow with their font as the platform's dialogs do.
#pragma once

#include <QFont>
#include <QRect>
#include <QSize>

// The font the templates are laid out for: the desktop's own face at
// 8 points. Their texts were fitted to that size; larger type would clip.
QFont DialogFont();

// A rectangle of a dialog template, in dialog units.
struct DuRect {
    int x = 0;
    int y = 0;
    int w = 0;
    int h = 0;
};

class DialogUnits {
public:
    explicit DialogUnits(const QFont& font);

    // Pixels of a horizontal and of a vertical distance in dialog units,
    // rounded to the nearest pixel (halves away from zero).
    int X(int units) const;
    int Y(int units) const;
    // A template rectangle in pixels; its edges are mapped one by one, so
    // rectangles that touch in dialog units touch in pixels.
    QRect Map(const DuRect& r) const;
    QSize Size(int w, int h) const { return {X(w), Y(h)}; }
    // The rectangle whose edges lie at these distances in dialog units from
    // the edges of a client area of size `client`: positive ones from its
    // left or top edge, negative ones from its right or bottom edge.
    QRect Anchored(QSize client, int left, int top, int right, int bottom) const;

    int BaseX() const { return m_baseX; }
    int BaseY() const { return m_baseY; }

private:
    int m_baseX;
    int m_baseY;
};
