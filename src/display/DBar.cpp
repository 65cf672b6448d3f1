#include "display/DBar.h"

#include "display/BarScale.h"
#include "display/CanvasText.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

namespace zentor {

namespace {
constexpr int kControlFontHeight = 12; // the control's own font, Arial Bold
constexpr int kLabelFontHeight = 12;   // bar labels
constexpr WinColor kLabelOnBarColor = kWhite;
constexpr int kCaptionBandTop = 5; // frame caption band, below the plot
constexpr int kCaptionBandBottom = 35;
} // namespace

DBar::DBar(QWidget* parent) : QWidget(parent), labels_(arialFont(kLabelFontHeight))
{
    setFont(arialFont(kControlFontHeight, true));
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void DBar::setModel(const BarModel& model)
{
    model_ = model;
    Paint();
    update();
}

void DBar::setRangeEnd(double& end, double value)
{
    ensurePainted();
    // The receiver displays set their range on every frame; what the canvas shows for an
    // unchanged end is already right, since a frame draws only over the plot and its caption
    // band. Measuring and drawing the axis numbers again would cost the window thread most of
    // its frame time.
    if (end == value)
        return;
    end = value;
    recomputePerPixel(model_, geometry_);
    drawOnCanvas(&DBar::drawAxisNumbers);
}

void DBar::SetXMin(double value)
{
    setRangeEnd(model_.XMin, value);
}

void DBar::SetXMax(double value)
{
    setRangeEnd(model_.XMax, value);
}

void DBar::SetYBottom(double value)
{
    setRangeEnd(model_.YBottom, value);
}

void DBar::SetYTop(double value)
{
    setRangeEnd(model_.YTop, value);
}

void DBar::setCaption(std::string& caption, const std::string& text, void (DBar::*draw)(QPainter&))
{
    ensurePainted();
    // As with the range ends: a caption that stays the same is already on the canvas.
    if (text.empty() || text == caption)
        return;
    caption = text;
    drawOnCanvas(draw);
}

void DBar::SetTitle(const std::string& text)
{
    setCaption(model_.Title, text, &DBar::drawTitle);
}

void DBar::SetLeftCaption(const std::string& text)
{
    setCaption(model_.LeftCaption, text, &DBar::drawLeftCaption);
}

void DBar::SetRightCaption(const std::string& text)
{
    setCaption(model_.RightCaption, text, &DBar::drawRightCaption);
}

void DBar::SetBottomCaption(const std::string& text)
{
    setCaption(model_.BottomCaption, text, &DBar::drawBottomCaption);
}

void DBar::SetCornerCaption(const std::string& text)
{
    setCaption(model_.CornerCaption, text, &DBar::drawCornerCaption);
}

void DBar::drawOnCanvas(void (DBar::*draw)(QPainter&))
{
    if (canvas_.isNull())
        return;
    QPainter painter(&canvas_);
    (this->*draw)(painter);
    update();
}

void DBar::BeginFrame()
{
    ensurePainted();
    columnUse_.clear();
    if (canvas_.isNull())
        return;
    const IntRect& plot = geometry_.PlotRect;
    QPainter painter(&canvas_);
    if (!background_.isNull())
        painter.drawImage(plot.left, plot.top, background_);
    if (!model_.BottomNumbersMode)
        painter.fillRect(plot.left, plot.bottom + kCaptionBandTop, geometry_.PlotWidth,
                         kCaptionBandBottom - kCaptionBandTop, toQColor(kGrey));
}

void DBar::DrawBar(double position, const std::string& label, double value)
{
    const auto bar = placeBar(model_, geometry_, columnUse_, position, value);
    if (!bar || background_.isNull() || canvas_.isNull())
        return;
    // Bars and labels are placed in plot coordinates and stay inside the plot.
    QPainter painter(&canvas_);
    painter.translate(geometry_.PlotRect.left, geometry_.PlotRect.top);
    painter.setClipRect(0, 0, geometry_.PlotWidth, geometry_.PlotHeight);
    const QColor color = toQColor(model_.BarColor);
    painter.fillRect(bar->rect.left, bar->rect.top, bar->rect.width(), bar->rect.height(), color);
    if (!model_.LabelsAlways && !bar->rect.contains(mouseX_, mouseY_))
        return;
    const QString text = QString::fromStdString(label);
    if (text.isEmpty())
        return;
    const bool vertical = model_.VerticalBarLabels;
    const LabelImages::Size size = labels_.size(text);
    const LabelPlacement place = placeBarLabel(*bar, size.width, size.height, vertical);
    // On the bar the label is drawn over the bar's colour, elsewhere on a white cell.
    const QColor ink = place.onBar ? toQColor(kLabelOnBarColor) : color;
    const QColor paper = place.onBar ? color : toQColor(kWhite);
    painter.drawImage(
        place.x, vertical ? place.y - size.width : place.y,
        labels_.image(text, vertical ? TextDirection::Upward : TextDirection::Across, ink, paper));
}

void DBar::EndFrame(const std::string& caption)
{
    if (canvas_.isNull())
        return;
    const IntRect& plot = geometry_.PlotRect;
    QRect changed(plot.left, plot.top, geometry_.PlotWidth, geometry_.PlotHeight);
    if (!model_.BottomNumbersMode) {
        QPainter painter(&canvas_);
        const QString text = QString::fromStdString(caption);
        const int x = plot.left + geometry_.PlotWidth / 2 - textWidth(font(), text) / 2;
        drawCellText(painter, x, plot.bottom + kCaptionBandTop, text, font(), toQColor(kBlack),
                     toQColor(kGrey));
        changed |=
            QRect(0, plot.bottom + kCaptionBandTop, width(), kCaptionBandBottom - kCaptionBandTop);
    }
    // Only the plot changed, and the caption band under it when it carries the caption: the
    // window system is given no more than that to copy, many times a second.
    update(changed);
}

double DBar::PixelToValue(int axis, int pixel) const
{
    return pixelToValue(model_, geometry_, axis, pixel);
}

void DBar::ensurePainted()
{
    if (paintedFor_ != geometry() || canvas_.size() != size())
        Paint();
}

void DBar::paintEvent(QPaintEvent* event)
{
    ensurePainted();
    if (canvas_.isNull())
        return;
    QPainter painter(this);
    painter.drawImage(event->rect(), canvas_, event->rect());
}

void DBar::resizeEvent(QResizeEvent*)
{
    ensurePainted();
}

void DBar::moveEvent(QMoveEvent*)
{
    ensurePainted();
}

void DBar::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint at = event->position().toPoint();
    mouseX_ = at.x() - geometry_.PlotRect.left;
    mouseY_ = at.y() - geometry_.PlotRect.top;
    if (model_.ShowReadout)
        drawReadout();
}

void DBar::mouseReleaseEvent(QMouseEvent* event)
{
    const QPoint at = event->position().toPoint();
    if (!model_.ZoomEnabled || !geometry_.PlotRect.contains(at.x(), at.y()))
        return;
    ZoomDirection direction;
    if (event->button() == Qt::LeftButton)
        direction = ZoomDirection::In;
    else if (event->button() == Qt::RightButton)
        direction = ZoomDirection::Out;
    else
        return;
    const auto zoomed = zoomAround(model_, PixelToValue(kHorizontalAxis, at.x()), direction);
    if (!zoomed)
        return;
    model_.XMin = zoomed->xMin;
    model_.XMax = zoomed->xMax;
    model_.ZoomFactor = zoomed->zoomFactor;
    Paint();
    update();
}

} // namespace zentor
