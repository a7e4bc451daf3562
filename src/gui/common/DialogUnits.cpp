#include "common/DialogUnits.h"

#include <QApplication>
#include <QFontMetrics>

#include <algorithm>

namespace {

// a * b / c rounded to the nearest integer, halves away from zero.
int MulDiv(int a, int b, int c)
{
    const long long product = static_cast<long long>(a) * b;
    const long long half = c / 2;
    return static_cast<int>(product >= 0 ? (product + half) / c : -((-product + half) / c));
}

// The average character width the platform takes for dialog units: the
// width of the 52 letters, halved and rounded up after dividing by 26.
int AverageCharWidth(const QFontMetrics& metrics)
{
    const int width = metrics.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    return (width / 26 + 1) / 2;
}

}  // namespace

QFont DialogFont()
{
    QFont font = QApplication::font();
    font.setPointSize(8);
    return font;
}

DialogUnits::DialogUnits(const QFont& font)
{
    const QFontMetrics metrics(font);
    m_baseX = std::max(AverageCharWidth(metrics), 1);
    m_baseY = std::max(metrics.height(), 1);
}

int DialogUnits::X(int units) const
{
    return MulDiv(units, m_baseX, 4);
}

int DialogUnits::Y(int units) const
{
    return MulDiv(units, m_baseY, 8);
}

QRect DialogUnits::Map(const DuRect& r) const
{
    const int left = X(r.x);
    const int top = Y(r.y);
    return {left, top, X(r.x + r.w) - left, Y(r.y + r.h) - top};
}

QRect DialogUnits::Anchored(QSize client, int left, int top, int right, int bottom) const
{
    auto x = [&](int du) { return du < 0 ? client.width() + X(du) : X(du); };
    auto y = [&](int du) { return du < 0 ? client.height() + Y(du) : Y(du); };
    return QRect(QPoint(x(left), y(top)), QPoint(x(right) - 1, y(bottom) - 1));
}
