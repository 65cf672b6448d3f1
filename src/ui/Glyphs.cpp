#include "ui/Glyphs.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <array>

namespace zentor {

namespace {

constexpr int kGlyphSize = 20;
const QColor kInk(40, 40, 40);
const QColor kBar(0, 150, 60);
const QColor kPanelFill(220, 232, 245);
const QColor kRecord(210, 30, 30);
const QColor kFolder(230, 190, 70);

// Draws bars standing on the glyph's baseline, one per height (in 1/16 of the glyph).
void drawBars(QPainter& p, int left, int barWidth, int step, const int* heights, int count)
{
    const int baseline = kGlyphSize - 3;
    for (int i = 0; i < count; ++i) {
        const int h = heights[i] * (kGlyphSize - 6) / 16;
        p.fillRect(left + i * step, baseline - h, barWidth, h, kBar);
    }
    p.setPen(kInk);
    p.drawLine(2, baseline, kGlyphSize - 3, baseline);
}

void drawPanels(QPainter& p, bool sideBySide)
{
    p.setPen(kInk);
    p.setBrush(kPanelFill);
    if (sideBySide) {
        p.drawRect(2, 3, 7, 13);
        p.drawRect(10, 3, 7, 13);
    } else {
        p.drawRect(2, 2, 15, 7);
        p.drawRect(2, 10, 15, 7);
    }
}

void drawGlobe(QPainter& p)
{
    p.setPen(QPen(kInk, 1.2));
    p.setBrush(QColor(150, 200, 240));
    const QRectF globe(2.5, 2.5, 15, 15);
    p.drawEllipse(globe);
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QRectF(6.5, 2.5, 7, 15));
    p.drawLine(QPointF(2.5, 10), QPointF(17.5, 10));
}

void drawFolder(QPainter& p)
{
    QPainterPath path;
    path.moveTo(2, 5);
    path.lineTo(7, 5);
    path.lineTo(9, 7);
    path.lineTo(17, 7);
    path.lineTo(17, 16);
    path.lineTo(2, 16);
    path.closeSubpath();
    p.setPen(kInk);
    p.setBrush(kFolder);
    p.drawPath(path);
}

void paintGlyph(QPainter& p, Glyph kind)
{
    static constexpr std::array<int, 3> kScreenBars{9, 14, 6};
    static constexpr std::array<int, 1> kSingleBar{14};
    static constexpr std::array<int, 5> kScanBars{6, 12, 9, 15, 4};
    static constexpr std::array<int, 7> kTableBars{5, 9, 13, 8, 15, 6, 11};
    switch (kind) {
    case Glyph::ReceiverScreen:
        drawBars(p, 4, 3, 4, kScreenBars.data(), static_cast<int>(kScreenBars.size()));
        break;
    case Glyph::GpsScreen:
        drawGlobe(p);
        break;
    case Glyph::SingleMode:
        drawBars(p, 8, 4, 0, kSingleBar.data(), static_cast<int>(kSingleBar.size()));
        break;
    case Glyph::ScanMode:
        drawBars(p, 3, 2, 3, kScanBars.data(), static_cast<int>(kScanBars.size()));
        break;
    case Glyph::TableMode:
        drawBars(p, 3, 2, 2, kTableBars.data(), static_cast<int>(kTableBars.size()));
        break;
    case Glyph::TileHorizontal:
        drawPanels(p, true);
        break;
    case Glyph::TileVertical:
        drawPanels(p, false);
        break;
    case Glyph::LogData:
        p.setPen(QPen(kInk, 1));
        p.setBrush(kRecord);
        p.drawEllipse(QRectF(4.5, 4.5, 11, 11));
        break;
    case Glyph::LogFile:
        drawFolder(p);
        break;
    }
}

} // namespace

QIcon glyph(Glyph kind)
{
    QPixmap pixmap(kGlyphSize, kGlyphSize);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    paintGlyph(painter, kind);
    return QIcon(pixmap);
}

QIcon programIcon()
{
    constexpr int kSize = 48;
    static constexpr std::array<int, 5> kLevels{14, 24, 34, 20, 28};
    QPixmap pixmap(kSize, kSize);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(30, 30, 30), 2));
    p.setBrush(QColor(25, 45, 70));
    p.drawRoundedRect(QRectF(2, 2, kSize - 4, kSize - 4), 6, 6);
    for (std::size_t i = 0; i < kLevels.size(); ++i) {
        const int left = 9 + static_cast<int>(i) * 6;
        p.fillRect(left, kSize - 8 - kLevels[i], 4, kLevels[i], QColor(60, 220, 110));
    }
    return QIcon(pixmap);
}

} // namespace zentor
