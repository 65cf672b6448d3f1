#include "nav/TravelPilotPanel.h"

#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <utility>

namespace zentor {

namespace {

void setField(QWidget* form, const char* name, const std::optional<std::string>& text)
{
    if (!text)
        return;
    if (auto* field = form->findChild<QLineEdit*>(QString::fromLatin1(name)))
        field->setText(QString::fromStdString(*text));
}

void paintGroup(QGroupBox* group, const QColor& colour)
{
    QPalette palette = group->palette();
    palette.setColor(QPalette::Window, colour);
    group->setPalette(palette);
    group->setAutoFillBackground(true);
}

} // namespace

void showTravelPilotTexts(QWidget* form, const TravelPilotTexts& texts)
{
    const std::pair<const char*, const std::optional<std::string>*> fields[] = {
        {"edTpVersion", &texts.version}, {"edTpLat", &texts.latitude},
        {"edTpLon", &texts.longitude},   {"edTpUpdate", &texts.update},
        {"edTpSpeed", &texts.speed},     {"edTpDirection", &texts.direction}};
    for (const auto& [name, text] : fields)
        setField(form, name, *text);
}

void showWatchdogStep(const WatchdogStep& step, QGroupBox* gbTravelPilot, QLabel* lWarning)
{
    if (step.beep)
        QApplication::beep();
    switch (step.look) {
    case WatchdogStep::Look::Warning:
        paintGroup(gbTravelPilot, Qt::red);
        lWarning->show();
        break;
    case WatchdogStep::Look::Normal:
        paintGroup(gbTravelPilot, QApplication::palette(gbTravelPilot).color(QPalette::Button));
        lWarning->hide();
        break;
    case WatchdogStep::Look::Unchanged:
        break;
    }
}

} // namespace zentor
