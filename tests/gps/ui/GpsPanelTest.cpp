#include "gps/GpsPanel.h"

#include "gps/GpsRecordDecoder.h"
#include "gps/GpsTestRecords.h"
#include "ui/FormLayout.h"
#include "ui/TestApplication.h"

#include <QFontInfo>
#include <QFontMetrics>
#include <QFrame>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QVBoxLayout>
#include <gtest/gtest.h>
#include <memory>

namespace zentor {
namespace {

using test::Bytes;
namespace gpsat = test::gpsat;

constexpr int kPanelWidth = 532; // the main window's receiver area
constexpr int kPanelHeight = 474;

const char* const kGroupFields[] = {"edGPSDate",      "edGPSTime",  "edGPSLatitude",
                                    "edGPSLongitude", "edGPSSpeed", "edGPSHeading",
                                    "edGPSAltitude",  "edGPSSats",  "edGPSStatus"};

// What the GPS side finds of the main window: its GPSPanel and the "GPS Data" group fields.
struct StandInMainWindow
{
    StandInMainWindow()
    {
        test::testApplication();
        window = std::make_unique<QWidget>();
        auto* column = new QVBoxLayout(window.get());
        panel = new QFrame(window.get());
        panel->setObjectName(QStringLiteral("GPSPanel"));
        panel->setFixedSize(kPanelWidth, kPanelHeight);
        column->addWidget(panel);
        for (const char* name : kGroupFields)
            column->addWidget(makeDisplayField(window.get(), name));
        status()->setText(QStringLiteral("Status"));
        status()->setAutoFillBackground(true);
        buildGpsPanel(panel);
        window->adjustSize();
    }

    QString text(const std::string& control) const
    {
        QWidget* w = window->findChild<QWidget*>(QString::fromStdString(control));
        if (auto* label = qobject_cast<QLabel*>(w))
            return label->text();
        if (auto* field = qobject_cast<QLineEdit*>(w))
            return field->text();
        return QStringLiteral("<no such control>");
    }
    QLineEdit* status() const { return window->findChild<QLineEdit*>("edGPSStatus"); }
    QLabel* label(const std::string& name) const
    {
        return window->findChild<QLabel*>(QString::fromStdString(name));
    }

    // The colour the status field shows near its right end, where its text does not reach.
    QColor statusFace() const
    {
        const QImage image = status()->grab().toImage();
        return image.pixelColor(image.width() - 8, image.height() / 2);
    }

    std::unique_ptr<QWidget> window;
    QFrame* panel = nullptr;
};

GpsPanelTexts textsOf(const Bytes& r)
{
    std::optional<GpsStatus> s = decodeGpsRecord(r.data(), r.size());
    EXPECT_TRUE(s.has_value());
    return formatGpsPanel(s.value_or(GpsStatus{}));
}

TEST(GpsPanel, BuildsALabelForEveryPanelText)
{
    StandInMainWindow main;
    const GpsPanelTexts texts = textsOf(test::handBuiltRecord());
    ASSERT_EQ(texts.panelTexts.size(), 42u);
    for (const ControlText& t : texts.panelTexts) {
        SCOPED_TRACE(t.control);
        QLabel* label = main.label(t.control);
        ASSERT_NE(label, nullptr);
        EXPECT_TRUE(main.panel->isAncestorOf(label));
        // Before the first record only the channel header shows.
        EXPECT_EQ(label->text(),
                  t.control == "lblChannelHdr" ? QString::fromLatin1(kChannelHeaderText) : "");
    }
}

TEST(GpsPanel, ShowsADecodedRecordOnTheWidgets)
{
    StandInMainWindow main;
    const GpsPanelTexts texts = textsOf(test::handBuiltRecord());
    showGpsStatus(main.window.get(), texts);

    for (const auto* list : {&texts.groupTexts, &texts.panelTexts}) {
        for (const ControlText& t : *list)
            EXPECT_EQ(main.text(t.control).toStdString(), t.text) << t.control;
    }
    EXPECT_EQ(main.text("edGPSDate"), "11/23/2031");
    EXPECT_EQ(main.text("edGPSAltitude"), "1235 meters");
    EXPECT_EQ(main.text("lblDateTime"), "11/23/2031   17:04:09");
    EXPECT_EQ(main.text("lblFilLat"), "Latitude  = 12.3457 S");
    EXPECT_EQ(main.text("lblTemperature"), "Temperature = -10.0 C");
    EXPECT_EQ(main.text("lblRecStat2"), "(Fast Acq. Pos.)(Filter Reset)");
    EXPECT_EQ(main.text("lblChannel9"),
              "   09     19    08    039     187     09     (Time Used)(PosFix Used)");
    EXPECT_EQ(main.text("lblGeometry"), "2.7 DOP");
    EXPECT_EQ(main.text("edGPSStatus"), "Status"); // only its colours change
}

TEST(GpsPanel, StatusFieldTakesTheColoursOfTheFix)
{
    StandInMainWindow main;
    Bytes r = test::handBuiltRecord();
    const std::tuple<std::uint8_t, QColor, QColor> cases[] = {
        {0xC0, QColor(0xFF, 0xFF, 0x00), QColor(0, 0, 0)},          // 2D fix
        {0xE0, QColor(0x00, 0x80, 0x00), QColor(0xFF, 0xFF, 0xFF)}, // 3D fix
        {0x60, QColor(0xFF, 0x00, 0x00), QColor(0xFF, 0xFF, 0xFF)}, // acquiring satellites
    };
    for (const auto& [byte1, face, text] : cases) {
        SCOPED_TRACE(byte1);
        r[gpsat::kStatus1] = byte1;
        showGpsStatus(main.window.get(), textsOf(r));
        EXPECT_EQ(main.status()->palette().color(QPalette::Base), face);
        EXPECT_EQ(main.status()->palette().color(QPalette::Text), text);
        EXPECT_EQ(main.statusFace(), face);
    }
}

TEST(GpsPanel, ChannelTableIsSetInAFixedPitchFace)
{
    StandInMainWindow main;
    std::vector<std::string> rows = {"lblChannelHdr"};
    for (int n = 1; n <= kGpsChannelCount; ++n)
        rows.push_back("lblChannel" + std::to_string(n));
    for (const std::string& name : rows) {
        SCOPED_TRACE(name);
        QLabel* row = main.label(name);
        ASSERT_NE(row, nullptr);
        const QFontInfo face(row->font());
        EXPECT_EQ(face.family(), QString::fromLatin1(kChannelTableFamily));
        EXPECT_TRUE(face.fixedPitch());
        const QFontMetrics metrics(row->font());
        EXPECT_EQ(metrics.horizontalAdvance(QStringLiteral("iiii")),
                  metrics.horizontalAdvance(QStringLiteral("WWWW")));
        EXPECT_EQ(metrics.horizontalAdvance(QStringLiteral("    ")),
                  metrics.horizontalAdvance(QStringLiteral("0000")));
    }
}

// A real receiver's row with its usual flags fits the panel's width whole.
TEST(GpsPanel, RealChannelRowsFitThePanel)
{
    std::optional<std::vector<Bytes>> captures = test::loadRealCaptures();
    if (!captures || captures->empty())
        GTEST_SKIP() << "no real GPS captures under " << test::sharedDataDir()
                     << "/testdata/oncore-m12";
    StandInMainWindow main;
    main.window->show();
    showGpsStatus(main.window.get(), textsOf(captures->front()));
    EXPECT_EQ(main.text("lblLat"), "Latitude  = 52.9103 N");
    EXPECT_EQ(main.text("lblChannel1"),
              "   01     14    08    049     042     00     (Time Used)(PosFix Used)(Anti-Spoof)");
    QLabel* row = main.label("lblChannel1");
    const int needed = QFontMetrics(row->font()).horizontalAdvance(row->text());
    EXPECT_LE(needed, row->contentsRect().width());
    EXPECT_EQ(main.statusFace(), QColor(0xFF, 0x00, 0x00)); // position hold
}

TEST(GpsPanel, ControlsThatAreNotThereAreSkipped)
{
    test::testApplication();
    QFrame panel;
    buildGpsPanel(&panel);
    showGpsStatus(&panel, textsOf(test::handBuiltRecord()));
    EXPECT_EQ(panel.findChild<QLabel*>("lblGMT")->text(), "-05:30");
    EXPECT_EQ(panel.findChild<QLineEdit*>("edGPSStatus"), nullptr);
}

} // namespace
} // namespace zentor
