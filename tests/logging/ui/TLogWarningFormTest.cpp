#include "logging/TLogWarningForm.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <gtest/gtest.h>
#include <vector>

namespace zentor {
namespace {

QApplication& app()
{
    static int argc = 1;
    static char name[] = "logging_ui_tests";
    static char* argv[] = {name, nullptr};
    static QApplication instance(argc, argv);
    return instance;
}

TEST(TLogWarningForm, ShowsTheStepsInOrderAndStyle)
{
    app();
    TLogWarningForm form({});
    EXPECT_EQ(form.windowTitle(), "ZENTOR LOG FILE WARNING");
    EXPECT_EQ(form.size(), QSize(522, 440));
    EXPECT_EQ(form.minimumSize(), form.maximumSize()); // a fixed border

    struct Expected
    {
        const char* name;
        const char* text;
        bool bold;
        Qt::Alignment horizontal;
    };
    const Expected expected[] = {
        {"Label1",
         "WARNING!!! FAILURE TO PERFORM THE FOLLOWING STEPS CORRECTLY WILL RESULT IN SCAN CHANNEL "
         "INFORMATION NOT BEING PLACED IN THE LOG FILE. IF THIS HAPPENS, THE LOG FILE WILL NOT BE "
         "CONVERTED BY OLVESTRA.",
         true, Qt::AlignHCenter},
        {"Label2",
         "Scan channel information is sent from the Zentor when the measurement mode "
         "(single,list,table) is started from the Zentor. If a log file has not been started by "
         "the user on the data logger, this information will not be recorded. ",
         false, Qt::AlignHCenter},
        {"Label3", "STEP 1: GO TO THE MAIN MENU ON THE ZENTOR (PRESS THE ESC KEY 3 TIMES).", true,
         Qt::AlignLeft},
        {"Label4", "STEP 2 (READ STEP 3 BEFORE COMPLETING STEP 2): PRESS THE OK BUTTON BELOW.",
         true, Qt::AlignLeft},
        {"Label5", "STEP 3: START THE MEASUREMENT ON THE ZENTOR.", true, Qt::AlignLeft},
    };
    // The widgets of the layout from top to bottom (the spacing items left out).
    auto* layout = qobject_cast<QVBoxLayout*>(form.layout());
    ASSERT_NE(layout, nullptr);
    std::vector<QWidget*> widgets;
    for (int i = 0; i < layout->count(); ++i) {
        if (QWidget* w = layout->itemAt(i)->widget())
            widgets.push_back(w);
    }
    ASSERT_EQ(widgets.size(), 6u);
    for (int i = 0; i < 5; ++i) {
        auto* label = qobject_cast<QLabel*>(widgets[i]);
        ASSERT_NE(label, nullptr) << i;
        EXPECT_EQ(label->objectName(), expected[i].name);
        EXPECT_EQ(label->text(), expected[i].text);
        EXPECT_EQ(label->font().bold(), expected[i].bold) << expected[i].name;
        EXPECT_EQ(label->alignment() & Qt::AlignHorizontal_Mask, expected[i].horizontal)
            << expected[i].name;
        EXPECT_TRUE(label->wordWrap());
    }
    auto* warning = form.findChild<QLabel*>("Label1");
    EXPECT_EQ(warning->palette().color(QPalette::WindowText), QColor(Qt::red));
    EXPECT_EQ(warning->palette().color(QPalette::Window), QColor(Qt::black));
    EXPECT_TRUE(warning->autoFillBackground());

    auto* ok = qobject_cast<QPushButton*>(widgets[5]);
    ASSERT_NE(ok, nullptr);
    EXPECT_EQ(ok->objectName(), "Button1");
    EXPECT_EQ(ok->text(), "OK");
}

TEST(TLogWarningForm, EveryTextFitsItsLabel)
{
    app();
    TLogWarningForm form({});
    form.show();
    QApplication::processEvents();
    for (QLabel* label : form.findChildren<QLabel*>()) {
        const int needed = label->heightForWidth(label->width());
        EXPECT_GE(label->height(), needed) << label->objectName().toStdString();
        EXPECT_GE(label->geometry().top(), 0);
        EXPECT_LE(label->geometry().bottom(), form.height());
    }
    auto* ok = form.findChild<QPushButton*>("Button1");
    EXPECT_LE(ok->geometry().bottom(), form.height());
}

TEST(TLogWarningForm, OkResetsTheScanInformationAndCloses)
{
    app();
    int resets = 0;
    TLogWarningForm form([&resets] { ++resets; });
    form.show();
    ASSERT_TRUE(form.isVisible());
    form.findChild<QPushButton*>("Button1")->click();
    EXPECT_EQ(resets, 1);
    EXPECT_FALSE(form.isVisible());
}

} // namespace
} // namespace zentor
