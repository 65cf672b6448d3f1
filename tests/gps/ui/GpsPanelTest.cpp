#include "gps/GpsPanel.h"

#include "gps/GpsRecordDecoder.h"
#include "gps/GpsTestRecords.h"
#include "ui/FormLayout.h"
#include "ui/TestApplication.h"

#include <QFontInfo>
#include <QFontMetrics>
#include <QFormLayout>
#include <QFrame>
#include <QGroupBox>
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

// What the main window gives the GPS side: its GPSPanel and the "GPS Data" group.
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
        group = makeGroup(window.get(), "gbGPSData", QStringLiteral("GPS Data"));
        addGpsDataFields(group, new QFormLayout(group), widgets);
        column->addWidget(group);
        status()->setText(QStringLiteral("Status"));
        buildGpsPanel(panel, widgets);
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
    QLineEdit* status() const { return widgets.status; }
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
    QGroupBox* group = nullptr;
    GpsWidgets widgets;
};

GpsPanelTexts textsOf(const Bytes& r)
{
    std::optional<GpsStatus> s = decodeGpsRecord(r.data(), r.size());
    EXPECT_TRUE(s.has_value());
    return formatGpsPanel(s.value_or(GpsStatus{}));
}

// A field without its widget, or with one that is not where the window shows it, fails here.
TEST(GpsPanel, BuildsAWidgetForEveryField)
{
    StandInMainWindow main;
    ASSERT_NE(main.status(), nullptr);
    EXPECT_EQ(main.status()->parent(), main.group);
    for (std::size_t i = 0; i < kGpsFieldCount; ++i) {
        const GpsField field = gpsFieldAt(i);
        SCOPED_TRACE(gpsFieldName(field));
        QWidget* widget = main.widgets.widget(field);
        ASSERT_NE(widget, nullptr);
        EXPECT_EQ(widget->objectName().toStdString(), gpsFieldName(field));
        if (inGpsDataGroup(field)) {
            EXPECT_NE(qobject_cast<QLineEdit*>(widget), nullptr);
            EXPECT_EQ(widget->parent(), main.group);
            continue;
        }
        auto* label = qobject_cast<QLabel*>(widget);
        ASSERT_NE(label, nullptr);
        EXPECT_TRUE(main.panel->isAncestorOf(label));
        // Before the first record only the channel header shows.
        EXPECT_EQ(label->text(), field == GpsField::lblChannelHdr
                                     ? QString::fromLatin1(kChannelHeaderText)
                                     : QString());
    }
}

TEST(GpsPanel, ShowsADecodedRecordOnTheWidgets)
{
    StandInMainWindow main;
    const GpsPanelTexts texts = textsOf(test::handBuiltRecord());
    showGpsStatus(main.widgets, texts);

    for (std::size_t i = 0; i < kGpsFieldCount; ++i) {
        const char* name = gpsFieldName(gpsFieldAt(i));
        EXPECT_EQ(main.text(name).toStdString(), texts.texts[i]) << name;
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
        showGpsStatus(main.widgets, textsOf(r));
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
    showGpsStatus(main.widgets, textsOf(captures->front()));
    EXPECT_EQ(main.text("lblLat"), "Latitude  = 52.9103 N");
    EXPECT_EQ(main.text("lblChannel1"),
              "   01     14    08    049     042     00     (Time Used)(PosFix Used)(Anti-Spoof)");
    QLabel* row = main.label("lblChannel1");
    const int needed = QFontMetrics(row->font()).horizontalAdvance(row->text());
    EXPECT_LE(needed, row->contentsRect().width());
    EXPECT_EQ(main.statusFace(), QColor(0xFF, 0x00, 0x00)); // position hold
}

} // namespace
} // namespace zentor
