#include "gps/GpsPanel.h"

#include "gps/GpsControlNames.h"
#include "ui/FormLayout.h"

#include <QApplication>
#include <QColor>
#include <QFont>
#include <QFontMetrics>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QVBoxLayout>
#include <initializer_list>

namespace zentor {
namespace {

// Small enough that a row with the usual three channel flags fits the panel's width.
constexpr double kChannelTablePointSize = 7.5;
constexpr int kMargin = 4;
constexpr int kSpacing = 2;

QString qText(const std::string& text)
{
    return QString::fromStdString(text);
}

// A label that keeps its line while empty, so the panel does not move when a flag text comes and
// goes.
QLabel* addLabel(QWidget* parent, QLayout* layout, const std::string& name)
{
    QLabel* label = makeLabel(parent, name.c_str(), QString());
    label->setMinimumHeight(label->fontMetrics().height());
    layout->addWidget(label);
    return label;
}

QGroupBox* addGroup(QWidget* parent, QVBoxLayout* column, const char* name, const char* title,
                    std::initializer_list<std::string> labels)
{
    QGroupBox* group = makeGroup(parent, name, QString::fromLatin1(title));
    auto* rows = new QVBoxLayout(group);
    rows->setContentsMargins(kMargin + 2, kMargin, kMargin + 2, kMargin);
    rows->setSpacing(kSpacing);
    for (const std::string& label : labels)
        addLabel(group, rows, label);
    column->addWidget(group);
    return group;
}

QVBoxLayout* addColumn(QGridLayout* grid, int column)
{
    auto* layout = new QVBoxLayout;
    layout->setSpacing(kSpacing + 2);
    grid->addLayout(layout, 0, column);
    return layout;
}

// The date and time line with the GMT offset and the receiver's ID beside it.
void buildHeaderLine(QWidget* panel, QVBoxLayout* outer)
{
    auto* line = new QHBoxLayout;
    line->setSpacing(kMargin * 2);
    QLabel* dateTime = addLabel(panel, line, gpsctl::kDateTime);
    QFont bold = dateTime->font();
    bold.setBold(true);
    dateTime->setFont(bold);
    line->addStretch(1);
    line->addWidget(makeLabel(panel, "lblGMTCaption", QStringLiteral("GMT Offset:")));
    addLabel(panel, line, gpsctl::kGMT)->setFont(bold);
    line->addSpacing(kMargin * 2);
    line->addWidget(makeLabel(panel, "lblIDCaption", QStringLiteral("ID:")));
    addLabel(panel, line, gpsctl::kID)->setFont(bold);
    outer->addLayout(line);
}

void buildStatusGroups(QWidget* panel, QVBoxLayout* outer)
{
    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(kMargin);
    grid->setContentsMargins(0, 0, 0, 0);
    QVBoxLayout* positions = addColumn(grid, 0);
    addGroup(panel, positions, "gbFilteredPosition", "Filtered Position",
             {gpsctl::kFilLat, gpsctl::kFilLon, gpsctl::kFilGPSHeight, gpsctl::kFilMSLHeight});
    addGroup(panel, positions, "gbUnfilteredPosition", "Unfiltered Position",
             {gpsctl::kLat, gpsctl::kLon, gpsctl::kGPSHeight, gpsctl::kMSLHeight});
    positions->addStretch(1);

    QVBoxLayout* motion = addColumn(grid, 1);
    addGroup(panel, motion, "gbVelocity", "Velocity",
             {gpsctl::k3DSpeed, gpsctl::k2DSpeed, gpsctl::kPanelHeading});
    addGroup(panel, motion, "gbClock", "Clock",
             {gpsctl::kClockBias, gpsctl::kOscOffset, gpsctl::kTemperature});
    addGroup(panel, motion, "gbSatellites", "Satellites", {gpsctl::kSatData, gpsctl::kGeometry});
    motion->addStretch(1);

    QVBoxLayout* receiver = addColumn(grid, 2);
    addGroup(panel, receiver, "gbUTC", "UTC",
             {gpsctl::kUTCMode, gpsctl::kUTCOffset, gpsctl::kUTCValue});
    QGroupBox* status = addGroup(panel, receiver, "gbReceiverStatus", "Receiver Status", {});
    for (int line = 1; line <= gpsctl::kRecStatCount; ++line)
        addLabel(status, status->layout(), gpsctl::recStatName(line));
    receiver->addStretch(1);

    for (int column = 0; column < 3; ++column)
        grid->setColumnStretch(column, 1);
    outer->addLayout(grid);
}

QFont channelTableFont(const QFont& base)
{
    QFont mono(QString::fromLatin1(kChannelTableFamily));
    mono.setPointSizeF(kChannelTablePointSize);
    mono.setStyleHint(QFont::Monospace);
    mono.setFixedPitch(true);
    mono.setStyleStrategy(base.styleStrategy());
    return mono;
}

// The header and the twelve channel rows, one fixed-pitch line each. A row whose flags run past
// the panel's edge is cut there rather than widening the panel.
void buildChannelTable(QWidget* panel, QVBoxLayout* outer)
{
    QGroupBox* table = makeGroup(panel, "gbChannels", QStringLiteral("Channels"));
    auto* rows = new QVBoxLayout(table);
    rows->setContentsMargins(kMargin + 2, kMargin, kMargin, kMargin);
    rows->setSpacing(0);
    const QFont mono = channelTableFont(table->font());
    auto addRow = [&](const std::string& name) {
        QLabel* row = makeLabel(table, name.c_str(), QString());
        row->setFont(mono);
        row->setMinimumHeight(QFontMetrics(mono).height());
        row->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
        row->setTextFormat(Qt::PlainText);
        rows->addWidget(row);
        return row;
    };
    addRow(gpsctl::kChannelHdr)->setText(QString::fromLatin1(kChannelHeaderText));
    for (int n = 1; n <= kGpsChannelCount; ++n)
        addRow(gpsctl::channelName(n));
    outer->addWidget(table);
}

void setControlText(QWidget* mainWindow, const ControlText& t)
{
    QWidget* control = mainWindow->findChild<QWidget*>(qText(t.control));
    if (auto* label = qobject_cast<QLabel*>(control))
        label->setText(qText(t.text));
    else if (auto* field = qobject_cast<QLineEdit*>(control))
        field->setText(qText(t.text));
}

QColor qColour(const Rgb& c)
{
    return QColor(c.red, c.green, c.blue);
}

// The field's face (Base, and Window for a field that fills its background) and its text.
void setStatusColours(QWidget* mainWindow, const StatusColours& colours)
{
    auto* field = mainWindow->findChild<QLineEdit*>(QString::fromLatin1(gpsctl::kStatus));
    if (!field)
        return;
    QPalette palette = field->palette();
    palette.setColor(QPalette::Base, qColour(colours.background));
    palette.setColor(QPalette::Window, qColour(colours.background));
    palette.setColor(QPalette::Text, qColour(colours.text));
    field->setPalette(palette);
}

} // namespace

// Liberation Mono is metric-compatible with Courier New, which stands in for it where it is not
// installed.
const char* const kChannelTableFamily = "Liberation Mono";

void buildGpsPanel(QWidget* gpsPanel)
{
    auto* outer = new QVBoxLayout(gpsPanel);
    outer->setContentsMargins(kMargin, kMargin, kMargin, kMargin);
    outer->setSpacing(kSpacing + 2);
    buildHeaderLine(gpsPanel, outer);
    buildStatusGroups(gpsPanel, outer);
    buildChannelTable(gpsPanel, outer);
    outer->addStretch(1);
}

void showGpsStatus(QWidget* mainWindow, const GpsPanelTexts& texts)
{
    for (const ControlText& t : texts.groupTexts)
        setControlText(mainWindow, t);
    setStatusColours(mainWindow, texts.status);
    for (const ControlText& t : texts.panelTexts)
        setControlText(mainWindow, t);
}

void showGpsStatusStale(QWidget* mainWindow)
{
    if (auto* field = mainWindow->findChild<QLineEdit*>(QString::fromLatin1(gpsctl::kStatus)))
        field->setPalette(QApplication::palette(field));
}

} // namespace zentor
