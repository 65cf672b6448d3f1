#include "nav/TravelPilotPanel.h"

#include "ui/FormLayout.h"
#include "ui/TestApplication.h"

#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <gtest/gtest.h>

namespace zentor {
namespace {

class TravelPilotPanelTest : public ::testing::Test
{
protected:
    TravelPilotPanelTest()
    {
        group = makeGroup(&form, "gbTravelPilot", QStringLiteral("TravelPilot"));
        for (const char* name :
             {"edTpVersion", "edTpLat", "edTpLon", "edTpUpdate", "edTpSpeed", "edTpDirection"})
            makeDisplayField(group, name, QStringLiteral("old"));
        warning = makeLabel(group, "lWarning", QStringLiteral("Not Responding!!!"));
        warning->hide();
    }

    QString field(const char* name)
    {
        return form.findChild<QLineEdit*>(QString::fromLatin1(name))->text();
    }

    QApplication& app = test::testApplication(); // first: the widgets need it
    QWidget form;
    QGroupBox* group = nullptr;
    QLabel* warning = nullptr;
};

TEST_F(TravelPilotPanelTest, OnlyTheTextsThatAreSetChange)
{
    TravelPilotTexts position;
    position.latitude = "48.5 N";
    position.longitude = "11.25 E";
    position.update = "1";
    showTravelPilotTexts(&form, position);
    EXPECT_EQ(field("edTpVersion"), QStringLiteral("old"));
    EXPECT_EQ(field("edTpLat"), QStringLiteral("48.5 N"));
    EXPECT_EQ(field("edTpLon"), QStringLiteral("11.25 E"));
    EXPECT_EQ(field("edTpUpdate"), QStringLiteral("1"));
    EXPECT_EQ(field("edTpSpeed"), QStringLiteral("old"));

    TravelPilotTexts rest;
    rest.version = "V 2.13";
    rest.speed = "57 km/h";
    rest.direction = "270 deg";
    showTravelPilotTexts(&form, rest);
    EXPECT_EQ(field("edTpVersion"), QStringLiteral("V 2.13"));
    EXPECT_EQ(field("edTpLat"), QStringLiteral("48.5 N"));
    EXPECT_EQ(field("edTpSpeed"), QStringLiteral("57 km/h"));
    EXPECT_EQ(field("edTpDirection"), QStringLiteral("270 deg"));
}

TEST_F(TravelPilotPanelTest, WatchdogTurnsTheGroupRedAndBack)
{
    WatchdogStep quiet;
    quiet.requestPosition = true;
    showWatchdogStep(quiet, group, warning);
    EXPECT_TRUE(warning->isHidden());
    EXPECT_FALSE(group->autoFillBackground());

    WatchdogStep warn;
    warn.beep = true;
    warn.look = WatchdogStep::Look::Warning;
    showWatchdogStep(warn, group, warning);
    EXPECT_FALSE(warning->isHidden());
    EXPECT_TRUE(group->autoFillBackground());
    EXPECT_EQ(group->palette().color(QPalette::Window), QColor(Qt::red));

    WatchdogStep still; // beeping on, look unchanged
    still.beep = true;
    showWatchdogStep(still, group, warning);
    EXPECT_FALSE(warning->isHidden());
    EXPECT_EQ(group->palette().color(QPalette::Window), QColor(Qt::red));

    WatchdogStep back;
    back.look = WatchdogStep::Look::Normal;
    showWatchdogStep(back, group, warning);
    EXPECT_TRUE(warning->isHidden());
    EXPECT_EQ(group->palette().color(QPalette::Window),
              QApplication::palette(group).color(QPalette::Button));
}

} // namespace
} // namespace zentor
