#include "display/DBar.h"

#include "display/BarScale.h"
#include "display/BarZoom.h"
#include "display/CanvasText.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <cstring>

namespace zentor {

namespace {
constexpr int kControlFontHeight = 12; // the control's own font, Arial Bold
constexpr int kOverlayFontHeight = 12; // bar labels
constexpr WinColor kLabelOnBarColor = kWhite;
constexpr int kCaptionBandTop = 5; // frame caption band, below the plot
constexpr int kCaptionBandBottom = 35;
} // namespace

DBar::DBar(QWidget* parent) : QWidget(parent)
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
    if (!overlay_.isNull())
        std::memcpy(overlay_.bits(), background_.constBits(),
                    static_cast<std::size_t>(background_.sizeInBytes()));
    if (!model_.BottomNumbersMode && !canvas_.isNull()) {
        const IntRect& plot = geometry_.PlotRect;
        QPainter painter(&canvas_);
        painter.fillRect(plot.left, plot.bottom + kCaptionBandTop, geometry_.PlotWidth,
                         kCaptionBandBottom - kCaptionBandTop, toQColor(kGrey));
    }
}

void DBar::DrawBar(double position, const std::string& label, double value)
{
    const auto bar = placeBar(model_, geometry_, columnUse_, position, value);
    if (!bar || overlay_.isNull())
        return;
    const QColor color = toQColor(model_.BarColor);
    QPainter painter(&overlay_);
    painter.fillRect(bar->rect.left, bar->rect.top, bar->rect.width(), bar->rect.height(), color);
    if (!model_.LabelsAlways && !bar->rect.contains(mouseX_, mouseY_))
        return;
    const QString text = QString::fromStdString(label);
    if (text.isEmpty())
        return;
    const QFont labelFont = arialFont(kOverlayFontHeight);
    const bool vertical = model_.VerticalBarLabels;
    const LabelPlacement place =
        placeBarLabel(*bar, textWidth(labelFont, text), cellHeight(labelFont), vertical);
    const TextDirection direction = vertical ? TextDirection::Upward : TextDirection::Across;
    if (place.onBar)
        drawCellText(painter, place.x, place.y, text, labelFont, toQColor(kLabelOnBarColor),
                     QColor(), direction);
    else
        drawCellText(painter, place.x, place.y, text, labelFont, color, toQColor(kWhite),
                     direction);
}

void DBar::EndFrame(const std::string& caption)
{
    if (canvas_.isNull())
        return;
    const IntRect& plot = geometry_.PlotRect;
    QPainter painter(&canvas_);
    if (!model_.BottomNumbersMode) {
        const QString text = QString::fromStdString(caption);
        const int x = plot.left + geometry_.PlotWidth / 2 - textWidth(font(), text) / 2;
        drawCellText(painter, x, plot.bottom + kCaptionBandTop, text, font(), toQColor(kBlack),
                     toQColor(kGrey));
    }
    if (!overlay_.isNull())
        painter.drawImage(plot.left, plot.top, overlay_);
    update();
}

int DBar::ValueToPixel(int axis, double value) const
{
    return valueToPixel(model_, geometry_, axis, value);
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
