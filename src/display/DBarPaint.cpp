// The display's paint: layout, background with grid, reference lines and trace, captions, axis
// numbers; and the mouse readout.
#include "core/TextFormat.h"
#include "display/BarScale.h"
#include "display/CanvasText.h"
#include "display/DBar.h"
#include "display/TextFit.h"

#include <QPainter>
#include <QPen>
#include <QPolygon>
#include <QStringList>
#include <algorithm>

namespace zentor {

namespace {

constexpr WinColor kCanvasColor = kGrey; // around the plot
constexpr WinColor kPlotColor = kWhite;  // the background image's fill
constexpr WinColor kTraceColor = kDarkRed;
constexpr int kLineCaptionGap = 5; // horizontal line captions, right of the plot
constexpr int kRightAxisGap = 2;
constexpr int kRightAxisDivisor = 12; // right axis font: plot height / 12
constexpr int kBottomNumbersGap = 8;
constexpr int kSecondaryRowGap = 9;
constexpr int kSecondaryRowShift = 4;
constexpr double kSecondaryScale = 0.0078125; // 1/128
constexpr int kCornerCaptionGap = 3;

// One paint of any display at a time: a paint started inside another returns at once.
bool paintRunning = false;

class PaintGuard
{
public:
    PaintGuard() { paintRunning = true; }
    ~PaintGuard() { paintRunning = false; }
    PaintGuard(const PaintGuard&) = delete;
    PaintGuard& operator=(const PaintGuard&) = delete;
};

QString qtext(const std::string& text)
{
    return QString::fromStdString(text);
}

// The larger of two texts' widths in Arial at a height.
TextWidthAt widestOf(const QString& a, const QString& b)
{
    return [a, b](int height) {
        const QFont font = arialFont(height);
        return std::max(textWidth(font, a), textWidth(font, b));
    };
}

TextWidthAt widthOf(const QString& text)
{
    return [text](int height) { return textWidth(arialFont(height), text); };
}

void fill(QPainter& painter, const IntRect& r, WinColor color)
{
    if (r.width() > 0 && r.height() > 0)
        painter.fillRect(r.left, r.top, r.width(), r.height(), toQColor(color));
}

// Fills `area` but where it meets `hole`.
void fillAround(QPainter& painter, const IntRect& area, const IntRect& hole, WinColor color)
{
    const int top = std::clamp(hole.top, area.top, area.bottom);
    const int bottom = std::clamp(hole.bottom, top, area.bottom);
    fill(painter, {area.left, area.top, area.right, top}, color);
    fill(painter, {area.left, bottom, area.right, area.bottom}, color);
    fill(painter, {area.left, top, std::min(hole.left, area.right), bottom}, color);
    fill(painter, {std::max(hole.right, area.left), top, area.right, bottom}, color);
}

} // namespace

void DBar::Paint()
{
    if (paintRunning)
        return;
    const PaintGuard guard;
    paintedFor_ = geometry();
    geometry_ = computeBarGeometry(x(), y(), width(), height());
    recomputePerPixel(model_, geometry_);

    if (width() <= 0 || height() <= 0) {
        canvas_ = QImage();
        background_ = QImage();
        return;
    }
    canvas_ = QImage(size(), QImage::Format_RGB32);
    canvas_.fill(toQColor(kCanvasColor));
    QPainter canvas(&canvas_);
    rebuildBackground(canvas);
    drawTitle(canvas);
    drawLeftCaption(canvas);
    drawRightCaption(canvas);
    drawBottomCaption(canvas);
    drawCornerCaption(canvas);
    drawAxisNumbers(canvas);
}

void DBar::rebuildBackground(QPainter& canvas)
{
    if (geometry_.plotEmpty()) {
        background_ = QImage();
        return;
    }
    const int w = geometry_.PlotWidth;
    const int h = geometry_.PlotHeight;
    background_ = QImage(w, h, QImage::Format_RGB32);
    background_.fill(toQColor(kPlotColor));
    {
        QPainter background(&background_);
        background.setPen(toQColor(model_.GridColor));
        const int divisions = effectiveGridDivisions(model_);
        for (int i = 0; i <= divisions; ++i) {
            const int y = i * h / divisions;
            background.drawLine(0, y, w - 1, y);
        }
        drawReferenceLines(canvas, background);
        drawTrace(background);
    }
    canvas.drawImage(geometry_.PlotRect.left, geometry_.PlotRect.top, background_);
}

void DBar::drawReferenceLines(QPainter& canvas, QPainter& background)
{
    const IntRect& plot = geometry_.PlotRect;
    fill(canvas, geometry_.TopMarginStrip, kCanvasColor);
    fill(canvas, geometry_.RightMarginStrip, kCanvasColor);
    const QPen solid = background.pen();
    const int h = geometry_.PlotHeight;
    const int w = geometry_.PlotWidth;
    for (const VerticalReferenceLine& line : model_.VerticalLines) {
        if (!line.enabled)
            continue;
        const int x = valueToPixel(model_, geometry_, kHorizontalAxis, line.x);
        background.setPen(QPen(toQColor(line.color), 1, Qt::DashLine));
        background.drawLine(x - plot.left, 0, x - plot.left, h - 1);
        const QString caption = qtext(line.caption);
        drawCellText(canvas, x - textWidth(font(), caption) / 2, geometry_.TopMarginStrip.top,
                     caption, font(), toQColor(line.color), toQColor(kCanvasColor));
    }
    for (const HorizontalReferenceLine& line : model_.HorizontalLines) {
        if (!line.enabled)
            continue;
        const int y = valueToPixel(model_, geometry_, kVerticalAxis, line.y);
        background.setPen(QPen(toQColor(line.color), 1, Qt::DashLine));
        background.drawLine(0, y - plot.top, w - 1, y - plot.top);
        drawCellText(canvas, plot.right + kLineCaptionGap, y - cellHeight(font()) / 2,
                     qtext(line.caption), font(), toQColor(line.color), toQColor(kCanvasColor));
    }
    background.setPen(solid);
}

void DBar::drawTrace(QPainter& background)
{
    if (!model_.ShowTrace)
        return;
    const IntRect& plot = geometry_.PlotRect;
    const int count = std::clamp(model_.TraceCount, 0, kTracePoints);
    QPolygon points;
    for (int i = 0; i < count; ++i) {
        const TracePoint& p = model_.Trace[static_cast<std::size_t>(i)];
        const int x = std::clamp(valueToPixel(model_, geometry_, kHorizontalAxis, p.x), plot.left,
                                 plot.right);
        const int y =
            std::clamp(valueToPixel(model_, geometry_, kVerticalAxis, p.y), plot.top, plot.bottom);
        points << QPoint(x - plot.left, y - plot.top);
    }
    const QPen previous = background.pen();
    background.setPen(toQColor(kTraceColor));
    background.drawPolyline(points);
    background.setPen(previous);
}

// The caption is centred over the plot's width in the margin band from `bandTop`, `margin` high,
// on a grey strip across its middle half. A long caption over a narrow plot reaches over the side
// margins, so the strip runs across the whole control and over every row a caption of this
// margin can take: a shorter caption leaves nothing of the one it replaces.
void DBar::drawBandCaption(QPainter& canvas, const std::string& caption, int bandTop, int margin)
{
    const BarGeometry& g = geometry_;
    const IntRect& plot = g.PlotRect;
    const int highest = std::max(margin / 2, kSmallestCaptionHeight);
    const int highestTop = margin / 2 + bandTop - highest / 2;
    fill(canvas,
         {0, std::min(bandTop + margin / 4, highestTop), width(),
          std::max(bandTop + 3 * margin / 4, highestTop + highest)},
         kGrey);
    const QString text = qtext(caption);
    const int centre = (plot.left + plot.right) / 2;
    const int height = fitCaptionHeight(margin / 2, centre, plot.left, g.OuterLeft, widthOf(text));
    const QFont font = arialFont(height);
    drawCellText(canvas, centre - textWidth(font, text) / 2, margin / 2 + bandTop - height / 2,
                 text, font, toQColor(kBlack), toQColor(kGrey));
}

void DBar::drawTitle(QPainter& canvas)
{
    drawBandCaption(canvas, model_.Title, geometry_.OuterTop,
                    geometry_.PlotRect.top - geometry_.OuterTop);
}

// The caption reads upward, centred on the left margin's first quarter and on the control's
// middle.
IntRect DBar::leftCaptionRect() const
{
    return leftCaptionCell(geometry_,
                           textWidth(arialFont(kLeftCaptionHeight), qtext(model_.LeftCaption)));
}

void DBar::drawLeftCaption(QPainter& canvas)
{
    const IntRect cell = leftCaptionRect();
    drawCellText(canvas, cell.left, cell.bottom, qtext(model_.LeftCaption),
                 arialFont(kLeftCaptionHeight), toQColor(kBlack), toQColor(kGrey),
                 TextDirection::Upward);
}

// The caption reads downward, centred on the right margin's last quarter.
void DBar::drawRightCaption(QPainter& canvas)
{
    const BarGeometry& g = geometry_;
    const QString text = qtext(model_.RightCaption);
    const int height = (g.PlotRect.left - g.OuterLeft) / 3;
    const QFont font = arialFont(height);
    const int x = height / 2 + g.OuterRight - (g.OuterRight - g.PlotRect.right) / 4;
    const int y = g.OuterHeight / 2 - textWidth(font, text) / 2;
    drawCellText(canvas, x, y, text, font, toQColor(kBlue), toQColor(kGrey),
                 TextDirection::Downward);
}

void DBar::drawBottomCaption(QPainter& canvas)
{
    drawBandCaption(canvas, model_.BottomCaption, geometry_.PlotRect.bottom,
                    geometry_.OuterBottom - geometry_.PlotRect.bottom);
}

void DBar::drawCornerCaption(QPainter& canvas)
{
    const BarGeometry& g = geometry_;
    const QString text = qtext(model_.CornerCaption);
    const int height = (g.OuterBottom - g.PlotRect.bottom) / 3;
    const QFont font = arialFont(height);
    drawCellText(canvas, 3 * g.OuterWidth / 4 - textWidth(font, text) / 2,
                 g.OuterBottom - height - kCornerCaptionGap, text, font, toQColor(kBlue),
                 toQColor(kGrey));
}

void DBar::drawAxisNumbers(QPainter& canvas)
{
    const BarGeometry& g = geometry_;
    const IntRect& plot = g.PlotRect;
    const int divisions = effectiveGridDivisions(model_);

    const QString top = qtext(formatText("%.1f", model_.YTop));
    const QString bottom = qtext(formatText("%.1f", model_.YBottom));
    QStringList numbers;
    for (const std::string& number : verticalAxisNumbers(model_.YTop, model_.YBottom, divisions, 0))
        numbers << qtext(number);
    const IntRect caption = leftCaptionRect();
    const AxisLayout axis =
        layOutAxisNumbers({plot.top, g.PlotHeight, plot.left, g.OuterLeft, caption, divisions},
                          widestOf(top, bottom), [&numbers](int height) {
                              const QFont font = arialFont(height);
                              std::vector<int> widths;
                              for (const QString& number : numbers)
                                  widths.push_back(textWidth(font, number));
                              return widths;
                          });
    // The numbers of a narrow display reach over the margin beside the caption: all of the
    // margin along the strip but the caption's cell is theirs.
    const IntRect& strip = g.LeftAxisStrip;
    fillAround(canvas, {g.OuterLeft, strip.top, strip.right, strip.bottom}, caption, kGrey);
    const QFont font = arialFont(axis.fontHeight);
    for (int s = 0; s < numbers.size(); ++s)
        drawCellText(canvas, axis.x[static_cast<std::size_t>(s)],
                     axis.y[static_cast<std::size_t>(s)], numbers[s], font, toQColor(kBlack),
                     toQColor(kGrey));

    if (model_.ShowRightAxis) {
        const int height = g.PlotHeight / kRightAxisDivisor;
        const QFont rightFont = arialFont(height);
        const int rightOrigin = plot.top - height / 2;
        fill(canvas, g.RightAxisStrip, kGrey);
        const auto right = verticalAxisNumbers(model_.Y2Top, model_.Y2Bottom, divisions, 1);
        for (int s = 0; s <= divisions; ++s)
            drawCellText(canvas, plot.right + kRightAxisGap,
                         s * g.PlotHeight / divisions + rightOrigin,
                         qtext(right[static_cast<std::size_t>(s)]), rightFont, toQColor(kBlue),
                         toQColor(kGrey));
    }

    if (model_.BottomNumbersMode && model_.ShowBottomNumbers)
        drawBottomNumbers(canvas, axis.fontHeight);
}

void DBar::drawBottomNumbers(QPainter& canvas, int fontHeight)
{
    const BarGeometry& g = geometry_;
    const IntRect& plot = g.PlotRect;
    const QFont font = arialFont(fontHeight);
    fill(canvas, g.BottomAxisStrip, kGrey);
    const auto primary = bottomAxisNumbers(model_.XMin, model_.XMax, model_.BottomPrecision);
    const auto secondary =
        bottomAxisNumbers(model_.XMin, model_.XMax, model_.SecondaryPrecision, kSecondaryScale);
    for (int s = 0; s <= kBottomNumberSteps; ++s) {
        const int x = s * g.PlotWidth / kBottomNumberSteps + plot.left;
        const QString first = qtext(primary[static_cast<std::size_t>(s)]);
        drawCellText(canvas, x - textWidth(font, first) / 2, plot.bottom + kBottomNumbersGap, first,
                     font, toQColor(kBlack), toQColor(kGrey));
        if (!model_.ShowBottomSecondary)
            continue;
        const QString second = qtext(secondary[static_cast<std::size_t>(s)]);
        drawCellText(canvas, x - kSecondaryRowShift - textWidth(font, second) / 2,
                     fontHeight + plot.bottom + kSecondaryRowGap, second, font, toQColor(kBlue),
                     toQColor(kGrey));
    }
}

void DBar::drawReadout()
{
    if (canvas_.isNull())
        return;
    const BarGeometry& g = geometry_;
    const int x = mouseX_ + g.PlotRect.left;
    const int y = mouseY_ + g.PlotRect.top;
    const QString text =
        qtext(formatText("MOUSE POSITION = (%.0f)(%.2f)", PixelToValue(kHorizontalAxis, x),
                         PixelToValue(kVerticalAxis, y)));
    const int margin = g.PlotRect.top - g.OuterTop;
    const int height = margin / 5;
    const QFont font = arialFont(height);
    QPainter canvas(&canvas_);
    fill(canvas, g.ReadoutStrip, kGrey);
    drawCellText(canvas, g.OuterWidth / 2 - textWidth(font, text) / 2,
                 4 * margin / 5 + g.OuterTop - height / 8, text, font, toQColor(kRed),
                 toQColor(kGrey));
    update();
}

} // namespace zentor
