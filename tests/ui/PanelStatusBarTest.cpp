#include "ui/PanelStatusBar.h"

#include "support/WaitUntil.h"
#include "ui/TestApplication.h"

#include <QHelpEvent>
#include <QToolTip>
#include <gtest/gtest.h>

namespace zentor {
namespace {

// The main window's bar: the link panel and the clock panel.
class PanelStatusBarTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        bar.resize(892, 22);
        bar.setPanelWidths({800, 100});
    }
    QApplication& app = test::testApplication(); // first: the bar needs it
    PanelStatusBar bar;
};

TEST_F(PanelStatusBarTest, PanelsLieFromTheLeftAndOwnerDrawnOnesAreLeftToTheSignal)
{
    bar.setPanelText(0, QStringLiteral("Connected via USB"));
    bar.setOwnerDrawn(1, true);
    EXPECT_EQ(bar.panelCount(), 2);
    EXPECT_EQ(bar.panelRect(0), QRect(0, 0, 800, 22));
    EXPECT_EQ(bar.panelRect(1).left(), 802);
    EXPECT_EQ(bar.panelRect(1).right(), 899);
    EXPECT_EQ(bar.panelText(0), QStringLiteral("Connected via USB"));

    std::vector<std::pair<int, QRect>> drawn;
    QObject::connect(&bar, &PanelStatusBar::drawPanel,
                     [&](int index, const QRect& rect) { drawn.emplace_back(index, rect); });
    bar.grab();
    ASSERT_EQ(drawn.size(), 1u);
    EXPECT_EQ(drawn[0].first, 1);
    EXPECT_EQ(drawn[0].second, bar.panelRect(1));
}

TEST_F(PanelStatusBarTest, APanelShowsItsToolTipWhereThePointerRests)
{
    bar.setPanelToolTip(0, QStringLiteral("frames 3 good"));
    bar.show();
    auto hover = [&](QPoint at) {
        QHelpEvent event(QEvent::ToolTip, at, bar.mapToGlobal(at));
        QCoreApplication::sendEvent(&bar, &event);
    };
    hover({400, 10});
    EXPECT_EQ(QToolTip::text(), QStringLiteral("frames 3 good"));
    hover({850, 10}); // panel 1 has none: the tip goes after Qt's short fade
    EXPECT_TRUE(test::waitUntil([] {
        QCoreApplication::processEvents();
        return !QToolTip::isVisible();
    }));
}

} // namespace
} // namespace zentor
