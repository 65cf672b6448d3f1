#pragma once

#include "display/BarGeometry.h"
#include "display/BarModel.h"
#include "display/BarPlacement.h"
#include "display/LabelImages.h"

#include <QImage>
#include <QWidget>
#include <string>

class QPainter;

namespace zentor {

// The bar display of one receiver: a white plot with a grey grid, the RSSI scale on its left,
// captions around it, and one frame of bars drawn over the grid per update.
//
// The display keeps what it shows in a canvas image of its own size. A paint (on creation,
// resize, move, zoom and setModel) lays out the geometry and redraws the canvas: the
// background image of the plot (grid, reference lines, trace), the captions and the axis
// numbers. A frame (BeginFrame, DrawBar..., EndFrame) copies the background onto the canvas's
// plot and draws its bars and labels there. paintEvent only shows the
// canvas, so an uncovered window shows the last frame; a paint shows the bare grid until the next
// frame. A paint that starts while another display's paint is running returns at once.
//
// Window thread only. The display lays itself out from its place in its parent: put it at
// (0, 0) of the panel it fills.
class DBar final : public QWidget
{
public:
    explicit DBar(QWidget* parent = nullptr);

    // All settings at once; the display is painted again.
    const BarModel& model() const { return model_; }
    void setModel(const BarModel& model);
    // The layout of the last paint.
    const BarGeometry& barGeometry() const { return geometry_; }

    // Store a range end, recompute its value per pixel and redraw the axis numbers.
    void SetXMin(double value);
    void SetXMax(double value);
    void SetYBottom(double value);
    void SetYTop(double value);

    // An empty text keeps the stored caption; either way the caption is drawn again.
    void SetTitle(const std::string& text);
    void SetLeftCaption(const std::string& text);
    void SetRightCaption(const std::string& text);
    void SetBottomCaption(const std::string& text);
    void SetCornerCaption(const std::string& text);

    // Labels of the next bars turned to read upward (list and table mode) or across.
    void SetVerticalBarLabels(bool vertical) { model_.VerticalBarLabels = vertical; }

    // One frame: the grid without bars, bars at horizontal positions up to their values (with
    // their labels; an empty label draws none), then onto the plot. EndFrame's caption goes
    // under the plot when the bottom strip carries no numbers.
    void BeginFrame();
    void DrawBar(double position, const std::string& label, double value);
    void EndFrame(const std::string& caption);

    // The value of a pixel of the plot; axis 0 horizontal, 1 vertical (see BarScale.h).
    double PixelToValue(int axis, int pixel) const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void ensurePainted();
    void Paint();
    void rebuildBackground(QPainter& canvas);
    void drawReferenceLines(QPainter& canvas, QPainter& background);
    void drawTrace(QPainter& background);
    void drawBandCaption(QPainter& canvas, const std::string& caption, int bandTop, int margin);
    void drawTitle(QPainter& canvas);
    // The rotated left caption's cell: where it is drawn, and what the axis numbers keep clear of.
    IntRect leftCaptionRect() const;
    void drawLeftCaption(QPainter& canvas);
    void drawRightCaption(QPainter& canvas);
    void drawBottomCaption(QPainter& canvas);
    void drawCornerCaption(QPainter& canvas);
    void drawAxisNumbers(QPainter& canvas);
    void drawBottomNumbers(QPainter& canvas, int fontHeight);
    void drawReadout();
    void drawOnCanvas(void (DBar::*draw)(QPainter&));
    void setCaption(std::string& caption, const std::string& text, void (DBar::*draw)(QPainter&));
    void setRangeEnd(double& end, double value);

    BarModel model_;
    BarGeometry geometry_;
    QRect paintedFor_; // the control's place when the canvas was painted
    QImage canvas_;
    QImage background_; // the plot: grid, reference lines, trace
    LabelImages labels_;
    ColumnUse columnUse_;
    int mouseX_ = 0;
    int mouseY_ = 0;
};

} // namespace zentor
