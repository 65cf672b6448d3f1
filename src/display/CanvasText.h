#pragma once

#include "display/BarModel.h"

#include <QColor>
#include <QFont>
#include <QString>

class QPainter;

namespace zentor {

QColor toQColor(WinColor color);

// Arial (Liberation Sans where Arial itself is missing: same metrics) with a cell, ascent plus
// descent, of `cellHeight` pixels, the way the display measures every font height.
QFont arialFont(int cellHeight, bool bold = false);

int textWidth(const QFont& font, const QString& text);
int cellHeight(const QFont& font);

enum class TextDirection
{
    Across,   // left to right
    Upward,   // turned a quarter left: reads bottom to top, the cell lies right of the origin
    Downward, // turned a quarter right: reads top to bottom, the cell lies left of the origin
};

// Draws `text` with the top-left corner of its (turned) cell at (x, y), over the cell filled
// with `background` when that is valid. An empty text draws nothing.
void drawCellText(QPainter& painter, int x, int y, const QString& text, const QFont& font,
                  const QColor& color, const QColor& background,
                  TextDirection direction = TextDirection::Across);

} // namespace zentor
