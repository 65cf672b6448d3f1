#include "map/TMapRange_Form.h"

#include "map/MapSettings.h"
#include "ui/TestApplication.h"

#include <QApplication>
#include <QGroupBox>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTimer>
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

// Presses OK and answers the message box it may raise; returns the box's text.
QString pressOk(TMapRange_Form& form)
{
    QString text;
    QTimer::singleShot(0, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            if (const QString keep = qEnvironmentVariable("ZENTOR_SCREENSHOT_DIR"); !keep.isEmpty())
                box->grab().save(keep + QStringLiteral("/map-range-refused.png"));
            text = box->text();
            box->button(QMessageBox::Ok)->click();
        }
    });
    form.findChild<QPushButton*>(QStringLiteral("OKBtn"))->click();
    return text;
}

TEST_F(MapRangeFormTest, OkRefusesABadRangeAndKeepsTheSettings)
{
    settings.setRange({-110, -40});
    settings.setReceiver(1);
    TMapRange_Form shown(settings);
    EXPECT_EQ(shown.edRSSIMin->text(), QStringLiteral("-110")) << "it shows what the settings hold";
    EXPECT_TRUE(shown.UseR2->isChecked());

    shown.show();
    ASSERT_TRUE(test::processEventsUntil([&] { return shown.isVisible(); }));
    shown.edRSSIMin->setText(QStringLiteral("-30"));
    shown.UseR1->click();
    EXPECT_EQ(pressOk(shown), QStringLiteral("The minimum value for the color range (-30 dBm) must "
                                             "be below the maximum (-40 dBm)."));
    EXPECT_TRUE(shown.isVisible()) << "the dialog stays open to be corrected";
    EXPECT_EQ(settings.range(), (MapRange{-110, -40}));
    EXPECT_EQ(settings.receiver(), 1);

    shown.edRSSIMin->setText(QStringLiteral("-100"));
    EXPECT_EQ(pressOk(shown), QString());
    EXPECT_FALSE(shown.isVisible());
    EXPECT_EQ(settings.range(), (MapRange{-100, -40}));
    EXPECT_EQ(settings.receiver(), 0);
}

TEST_F(MapRangeFormTest, EscapeAndClosingKeepTheSettings)
{
    for (const bool escape : {true, false}) {
        form.show();
        ASSERT_TRUE(test::processEventsUntil([&] { return form.isVisible(); }));
        form.edRSSIMin->setText(QStringLiteral("-90"));
        form.UseR2->click();
        if (escape) {
            QKeyEvent key(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
            QApplication::sendEvent(&form, &key);
        } else {
            form.close();
        }
        EXPECT_FALSE(form.isVisible());
        EXPECT_EQ(settings.range(), (MapRange{-120, -50}));
        EXPECT_EQ(settings.receiver(), 0);
        EXPECT_EQ(form.edRSSIMin->text(), QStringLiteral("-120")) << "shown as they are";
        EXPECT_TRUE(form.UseR1->isChecked());
    }
}

TEST_F(MapRangeFormTest, ShowsWithoutBlockingCentredAndKeepsItsPlace)
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
    EXPECT_EQ(settings.range(), (MapRange{-110, -50}));

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
