#include "display/CanvasText.h"

#include <QFontMetrics>
#include <QFontMetricsF>
#include <QPainter>
#include <QStringList>
#include <algorithm>
#include <cmath>

namespace zentor {

namespace {

constexpr int kByte = 0xFF;
constexpr int kReferencePixelSize = 1000; // for measuring the family's cell per em

QFont arialFamily()
{
    QFont font;
    font.setFamilies({QStringLiteral("Arial"), QStringLiteral("Liberation Sans")});
    font.setStyleHint(QFont::SansSerif);
    return font;
}

// Cell height over em size of the family, measured once.
double cellPerEm()
{
    static const double ratio = [] {
        QFont font = arialFamily();
        font.setPixelSize(kReferencePixelSize);
        const double measured = QFontMetricsF(font).height() / kReferencePixelSize;
        return measured > 0.0 ? measured : 1.0;
    }();
    return ratio;
}

} // namespace

QColor toQColor(WinColor color)
{
    return QColor(static_cast<int>(color & kByte), static_cast<int>((color >> 8) & kByte),
                  static_cast<int>((color >> 16) & kByte));
}

QFont arialFont(int cellHeight, bool bold)
{
    QFont font = arialFamily();
    font.setPixelSize(std::max(1, static_cast<int>(std::lround(cellHeight / cellPerEm()))));
    font.setBold(bold);
    return font;
}

int textWidth(const QFont& font, const QString& text)
{
    return QFontMetrics(font).horizontalAdvance(text);
}

int cellHeight(const QFont& font)
{
    return QFontMetrics(font).height();
}

void drawCellText(QPainter& painter, int x, int y, const QString& text, const QFont& font,
                  const QColor& color, const QColor& background, TextDirection direction)
{
    if (text.isEmpty())
        return;
    const QFontMetrics metrics(font);
    painter.save();
    painter.translate(x, y);
    if (direction == TextDirection::Upward)
        painter.rotate(-90);
    else if (direction == TextDirection::Downward)
        painter.rotate(90);
    if (background.isValid())
        painter.fillRect(0, 0, metrics.horizontalAdvance(text), metrics.height(), background);
    painter.setFont(font);
    painter.setPen(color);
    painter.drawText(0, metrics.ascent(), text);
    painter.restore();
}

} // namespace zentor
