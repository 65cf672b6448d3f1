#include "ui/PanelStatusBar.h"

#include <QHelpEvent>
#include <QPainter>
#include <QToolTip>
#include <qdrawutil.h>

namespace zentor {

namespace {

constexpr int kTextIndent = 4; // between a panel's border and its text
constexpr int kPanelGap = 2;   // between two panels

} // namespace

PanelStatusBar::PanelStatusBar(QWidget* parent) : QWidget(parent) {}

void PanelStatusBar::setPanelWidths(const std::vector<int>& widths)
{
    panels_.clear();
    for (int width : widths)
        panels_.push_back({width, {}, false, {}});
    update();
}

void PanelStatusBar::setPanelText(int index, const QString& text)
{
    Panel& panel = panels_.at(static_cast<std::size_t>(index));
    if (panel.text == text)
        return;
    panel.text = text;
    update(panelRect(index));
}

QString PanelStatusBar::panelText(int index) const
{
    return panels_.at(static_cast<std::size_t>(index)).text;
}

void PanelStatusBar::setOwnerDrawn(int index, bool ownerDrawn)
{
    panels_.at(static_cast<std::size_t>(index)).ownerDrawn = ownerDrawn;
    update(panelRect(index));
}

void PanelStatusBar::setPanelToolTip(int index, const QString& text)
{
    panels_.at(static_cast<std::size_t>(index)).toolTip = text;
}

QString PanelStatusBar::panelToolTip(int index) const
{
    return panels_.at(static_cast<std::size_t>(index)).toolTip;
}

QRect PanelStatusBar::panelRect(int index) const
{
    int left = 0;
    for (int i = 0; i < index; ++i)
        left += panels_.at(static_cast<std::size_t>(i)).width;
    const int width = panels_.at(static_cast<std::size_t>(index)).width;
    // The gap is taken from each panel's left, so the widths add up to the panels' places.
    const int gap = index == 0 ? 0 : kPanelGap;
    return QRect(left + gap, 0, width - gap, height());
}

bool PanelStatusBar::event(QEvent* event)
{
    if (event->type() != QEvent::ToolTip)
        return QWidget::event(event);
    const auto* help = static_cast<QHelpEvent*>(event);
    for (int i = 0; i < panelCount(); ++i) {
        const QRect rect = panelRect(i);
        const QString& tip = panels_[static_cast<std::size_t>(i)].toolTip;
        if (rect.contains(help->pos()) && !tip.isEmpty()) {
            QToolTip::showText(help->globalPos(), tip, this, rect);
            return true;
        }
    }
    QToolTip::hideText();
    event->ignore();
    return true;
}

void PanelStatusBar::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    for (int i = 0; i < panelCount(); ++i) {
        const QRect rect = panelRect(i);
        const Panel& panel = panels_[static_cast<std::size_t>(i)];
        qDrawShadePanel(&painter, rect, palette(), true, 1);
        if (panel.ownerDrawn) {
            emit drawPanel(i, rect);
            continue;
        }
        painter.setPen(palette().color(QPalette::WindowText));
        painter.drawText(rect.adjusted(kTextIndent, 0, -kTextIndent, 0),
                         Qt::AlignLeft | Qt::AlignVCenter, panel.text);
    }
}

} // namespace zentor
