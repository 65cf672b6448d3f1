#include "display/LabelImages.h"

#include <QPainter>

namespace zentor {

LabelImages::Size LabelImages::size(const QString& text)
{
    const auto known = sizes_.constFind(text);
    if (known != sizes_.constEnd())
        return *known;
    if (sizes_.size() >= kMostKept)
        sizes_.clear();
    const Size measured{textWidth(font_, text), cellHeight(font_)};
    sizes_.insert(text, measured);
    return measured;
}

const QImage& LabelImages::image(const QString& text, TextDirection direction, const QColor& ink,
                                 const QColor& paper)
{
    const ImageKey key{text, direction, ink.rgb(), paper.rgb()};
    const auto known = images_.constFind(key);
    if (known != images_.constEnd())
        return *known;
    if (images_.size() >= kMostKept)
        images_.clear();
    const Size cell = size(text);
    const bool turned = direction != TextDirection::Across;
    QImage image(turned ? cell.height : cell.width, turned ? cell.width : cell.height,
                 QImage::Format_RGB32);
    image.fill(paper);
    {
        QPainter painter(&image);
        const int x = direction == TextDirection::Downward ? cell.height : 0;
        const int y = direction == TextDirection::Upward ? cell.width : 0;
        drawCellText(painter, x, y, text, font_, ink, paper, direction);
    }
    return *images_.insert(key, image);
}

} // namespace zentor
