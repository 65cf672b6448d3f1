#include "ui/MessageBoxRoutine.h"

#include "ui/TestApplication.h"

#include <QAbstractButton>
#include <QLabel>
#include <QMessageBox>
#include <QTimer>
#include <future>
#include <gtest/gtest.h>
#include <map>

namespace zentor {
namespace {

using test::processEventsUntil;

// The boxes that are open now.
std::vector<QMessageBox*> openBoxes()
{
    std::vector<QMessageBox*> boxes;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (auto* box = qobject_cast<QMessageBox*>(w); box && box->isVisible())
            boxes.push_back(box);
    }
    return boxes;
}

class MessageBoxRoutine : public ::testing::Test
{
protected:
    void SetUp() override { test::testApplication(); }
    void TearDown() override
    {
        for (QMessageBox* box : openBoxes())
            box->close();
        QCoreApplication::processEvents();
    }
};

TEST_F(MessageBoxRoutine, FromAWorkerItReturnsAtOnceAndTheBoxFollows)
{
    // The window thread processes no events until the worker has returned: a routine that
    // waited for the box would never return.
    auto worker = std::async(std::launch::async, [] {
        showMessageBox(MessageKind::Warning, "Level %d dBm on %s", -73, "R1");
    });
    ASSERT_EQ(worker.wait_for(std::chrono::seconds(5)), std::future_status::ready);
    EXPECT_TRUE(openBoxes().empty());

    ASSERT_TRUE(processEventsUntil([] { return !openBoxes().empty(); }));
    QMessageBox* box = openBoxes().front();
    EXPECT_EQ(box->windowTitle(), QStringLiteral("Warning"));
    EXPECT_EQ(box->text(), QStringLiteral("Level -73 dBm on R1"));
    EXPECT_EQ(box->icon(), QMessageBox::Warning);
    EXPECT_FALSE(box->isModal());
}

TEST_F(MessageBoxRoutine, KindsGiveTheirTitlesAndIconsAndClosingIsReported)
{
    MessageBoxSink sink;
    int closed = 0;
    sink.postMessage(MessageKind::Information, "one", [&] { ++closed; });
    sink.postMessage(MessageKind::Warning, "two");
    sink.postMessage(MessageKind::Error, "three", [&] { ++closed; });
    ASSERT_TRUE(processEventsUntil([] { return openBoxes().size() == 3; }));

    const std::map<QString, std::pair<QString, QMessageBox::Icon>> expected{
        {QStringLiteral("one"), {QStringLiteral("Information"), QMessageBox::Information}},
        {QStringLiteral("two"), {QStringLiteral("Warning"), QMessageBox::Warning}},
        {QStringLiteral("three"), {QStringLiteral("Error"), QMessageBox::Critical}}};
    for (QMessageBox* box : openBoxes()) {
        const auto& [title, icon] = expected.at(box->text());
        EXPECT_EQ(box->windowTitle(), title);
        EXPECT_EQ(box->icon(), icon);
    }
    for (QMessageBox* box : openBoxes())
        box->button(QMessageBox::Ok)->click();
    EXPECT_TRUE(processEventsUntil([&] { return closed == 2; }));
}

TEST_F(MessageBoxRoutine, OnTheWindowThreadTheBoxIsModal)
{
    QString title, text;
    bool modal = false;
    QTimer::singleShot(0, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            title = box->windowTitle();
            text = box->text();
            modal = box->isModal();
            box->button(QMessageBox::Ok)->click();
        }
    });
    showMessageBox(MessageKind::Error, "Port %d failed", 3);
    EXPECT_EQ(title, QStringLiteral("Error"));
    EXPECT_EQ(text, QStringLiteral("Port 3 failed"));
    EXPECT_TRUE(modal);
    EXPECT_STREQ(messageTitle(MessageKind::Information), "Information");
}

TEST_F(MessageBoxRoutine, ALongFileNameWrapsInsideTheBox)
{
    const std::string name = "/media/field-engineer/usb-stick-of-the-second-van/zentor-logs/"
                             "2026-12-10-coverage-drive-of-the-northern-ring-road/drive-0001.KLF";
    MessageBoxSink().postMessage(MessageKind::Error, "Could not write the log file \"" + name +
                                                         "\" (No space left on device). Log mode "
                                                         "has been switched off.");
    ASSERT_TRUE(processEventsUntil([] { return !openBoxes().empty(); }));
    QMessageBox* box = openBoxes().front();
    auto* label = box->findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
    ASSERT_NE(label, nullptr);
    const QRect needed = label->fontMetrics().boundingRect(QRect(0, 0, label->width(), 100000),
                                                           Qt::TextWordWrap, label->text());
    EXPECT_LE(needed.width(), label->width()) << "the text runs off the box's edge";
    EXPECT_LE(needed.height(), label->height());
    if (const QString keep = qEnvironmentVariable("ZENTOR_SCREENSHOT_DIR"); !keep.isEmpty())
        box->grab().save(keep + QStringLiteral("/long-log-error.png"));
}

} // namespace
} // namespace zentor
