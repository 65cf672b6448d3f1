#pragma once

#include "display/CanvasText.h"

#include <QColor>
#include <QFont>
#include <QHash>
#include <QImage>
#include <QString>

namespace zentor {

// Bar labels drawn once and kept as images: a list entry's label stays the same from frame to
// frame, and laying out and turning its text costs more than the rest of a frame. Window thread.
class LabelImages
{
public:
    explicit LabelImages(const QFont& font) : font_(font) {}

    // The text's cell, width along the text and height across it, as drawCellText takes it.
    struct Size
    {
        int width = 0;
        int height = 0;
    };
    Size size(const QString& text);

    // The label as drawCellText draws it over `paper` with its cell's top-left corner at (0, 0)
    // of the image; the image is the turned cell, so an Upward label's image is placed with its
    // top-left corner `width` rows above the label's origin.
    const QImage& image(const QString& text, TextDirection direction, const QColor& ink,
                        const QColor& paper);

private:
    static constexpr int kMostKept = 256; // table mode's labels change; older ones are dropped

    struct ImageKey
    {
        QString text;
        TextDirection direction;
        QRgb ink;
        QRgb paper;
        bool operator==(const ImageKey& other) const
        {
            return text == other.text && direction == other.direction && ink == other.ink &&
                   paper == other.paper;
        }
        friend size_t qHash(const ImageKey& key, size_t seed = 0)
        {
            return qHashMulti(seed, key.text, static_cast<int>(key.direction), key.ink, key.paper);
        }
    };

    QFont font_;
    QHash<QString, Size> sizes_;
    QHash<ImageKey, QImage> images_;
};

} // namespace zentor
