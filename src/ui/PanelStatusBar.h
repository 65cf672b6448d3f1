#pragma once

#include <QString>
#include <QWidget>
#include <vector>

namespace zentor {

// A status bar of fixed-width panels laid out from the left, each with a sunken border. A panel
// shows its text, or, when it is owner-drawn, is left to the drawPanel signal, emitted whenever
// the panel is painted. A panel's tool tip shows while the pointer rests on it. Panels beyond the
// bar's right edge are cut off there.
class PanelStatusBar : public QWidget
{
    Q_OBJECT

public:
    explicit PanelStatusBar(QWidget* parent = nullptr);

    // Replaces the panels by ones of these widths, in pixels, with empty texts.
    void setPanelWidths(const std::vector<int>& widths);
    int panelCount() const { return static_cast<int>(panels_.size()); }

    void setPanelText(int index, const QString& text);
    QString panelText(int index) const;
    void setOwnerDrawn(int index, bool ownerDrawn);
    void setPanelToolTip(int index, const QString& text);
    QString panelToolTip(int index) const;

    // The panel's rectangle in the bar, border included.
    QRect panelRect(int index) const;

signals:
    void drawPanel(int index, const QRect& rect);

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    struct Panel
    {
        int width = 0;
        QString text;
        bool ownerDrawn = false;
        QString toolTip;
    };
    std::vector<Panel> panels_;
};

} // namespace zentor
