#include "map/TMapRange_Form.h"

#include "map/MapSettings.h"
#include "ui/TestApplication.h"

#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <gtest/gtest.h>

namespace zentor {
namespace {

class MapRangeFormTest : public ::testing::Test
{
protected:
    QLabel* label(const char* name) { return form.findChild<QLabel*>(QString::fromLatin1(name)); }

    QApplication& app = test::testApplication(); // first: the widgets need it
    MapSettings settings;
    TMapRange_Form form{settings};
};

TEST_F(MapRangeFormTest, ShowsTheRangeTheReceiverChoiceAndTheNote)
{
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Mapping Range Settings"));
    EXPECT_EQ(label("Label1")->text(), QStringLiteral("Range of Values for RSSI Data"));
    EXPECT_EQ(label("Label2")->text(), QStringLiteral("Minimum Value for Color Range"));
    EXPECT_EQ(label("Label3")->text(), QStringLiteral("Maximum Value for Color Range"));
    EXPECT_EQ(label("Label4")->text(),
              QStringLiteral("These settings re used when the QXV Tavrine is running for real-time "
                             "mapping capabilities. The data is sent from the Zentor to the "
                             "Tavrine for plotting on a map."));
    auto* edRSSIMin = form.findChild<QLineEdit*>(QStringLiteral("edRSSIMin"));
    auto* edRSSIMax = form.findChild<QLineEdit*>(QStringLiteral("edRSSIMax"));
    ASSERT_TRUE(edRSSIMin && edRSSIMax);
    EXPECT_EQ(edRSSIMin->text(), QStringLiteral("-120"));
    EXPECT_EQ(edRSSIMax->text(), QStringLiteral("-50"));
    EXPECT_FALSE(edRSSIMin->isReadOnly());
    auto* group = form.findChild<QGroupBox*>(QStringLiteral("gbUseData"));
    ASSERT_NE(group, nullptr);
    EXPECT_EQ(group->title(), QStringLiteral("Use Data From:"));
    auto* useR1 = group->findChild<QRadioButton*>(QStringLiteral("UseR1"));
    auto* useR2 = group->findChild<QRadioButton*>(QStringLiteral("UseR2"));
    ASSERT_TRUE(useR1 && useR2);
    EXPECT_EQ(useR1->text(), QStringLiteral("Receiver #1"));
    EXPECT_EQ(useR2->text(), QStringLiteral("Receiver #2"));
    EXPECT_TRUE(useR1->isChecked());
    EXPECT_FALSE(useR2->isChecked());
    EXPECT_EQ(form.findChild<QPushButton*>(QStringLiteral("OKBtn"))->text(), QStringLiteral("OK"));
}

TEST_F(MapRangeFormTest, ChangesReachTheMapSettingsAtOnce)
{
    settings.setRangeMinText("1");
    settings.setRangeMaxText("2");
    settings.setReceiver(1);
    MapSettings fresh;
    TMapRange_Form another(fresh);
    EXPECT_EQ(fresh.rangeMinDbm(), -120);
    EXPECT_EQ(fresh.rangeMaxDbm(), -50);
    EXPECT_EQ(fresh.receiver(), 0);

    another.edRSSIMin->setText(QStringLiteral("-95"));
    EXPECT_EQ(fresh.rangeMinDbm(), -95);
    another.edRSSIMax->setText(QStringLiteral("none"));
    EXPECT_EQ(fresh.rangeMaxDbm(), 0);
    another.edRSSIMax->setText(QStringLiteral("99999"));
    EXPECT_EQ(fresh.rangeMaxDbm(), 32767);
    another.UseR2->click();
    EXPECT_EQ(fresh.receiver(), 1);
    another.UseR1->click();
    EXPECT_EQ(fresh.receiver(), 0);
}

TEST_F(MapRangeFormTest, ShowsWithoutBlockingCentredAndOkOnlyCloses)
{
    form.show(); // returns at once: the dialog is not modal
    ASSERT_TRUE(test::processEventsUntil([&] { return form.isVisible(); }));
    EXPECT_FALSE(form.isModal());
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_LE(std::abs(form.geometry().center().x() - screen.center().x()), 1);
    EXPECT_LE(std::abs(form.geometry().center().y() - screen.center().y()), 1);
    EXPECT_EQ(form.minimumSize(), form.maximumSize()); // fixed

    form.edRSSIMin->setText(QStringLiteral("-110"));
    form.findChild<QPushButton*>(QStringLiteral("OKBtn"))->click();
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(form.edRSSIMin->text(), QStringLiteral("-110"));
    EXPECT_EQ(settings.rangeMinDbm(), -110);

    // Shown again, it keeps its place.
    form.move(form.pos() + QPoint(20, 10));
    const QPoint moved = form.pos();
    form.show();
    ASSERT_TRUE(test::processEventsUntil([&] { return form.isVisible(); }));
    EXPECT_EQ(form.pos(), moved);
    form.close();
}

TEST_F(MapRangeFormTest, EveryTextFitsItsControl)
{
    form.show();
    ASSERT_TRUE(test::processEventsUntil([&] { return form.isVisible(); }));
    for (QWidget* w : form.findChildren<QWidget*>()) {
        if (!w->isVisible())
            continue;
        SCOPED_TRACE(w->objectName().toStdString());
        EXPECT_TRUE(form.rect().contains(QRect(w->mapTo(&form, QPoint(0, 0)), w->size())));
        if (auto* l = qobject_cast<QLabel*>(w)) {
            if (l->wordWrap()) {
                EXPECT_GE(l->height(), l->heightForWidth(l->width()));
            } else {
                EXPECT_GE(l->width(), l->sizeHint().width());
            }
        }
        if (auto* r = qobject_cast<QRadioButton*>(w)) {
            EXPECT_GE(r->width(), r->sizeHint().width());
        }
    }
    const QPixmap picture = form.grab();
    EXPECT_TRUE(picture.save(QStringLiteral(ZENTOR_TEST_OUTPUT "/TMapRange_Form.png")));
    form.close();
}

} // namespace
} // namespace zentor
