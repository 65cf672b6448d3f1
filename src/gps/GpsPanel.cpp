#include "gps/GpsPanel.h"

#include "ui/FormLayout.h"

#include <QApplication>
#include <QColor>
#include <QFont>
#include <QFontMetrics>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QVBoxLayout>
#include <cassert>
#include <initializer_list>
#include <utility>

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
QLabel* addLabel(QWidget* parent, QLayout* layout, GpsField field, GpsWidgets& widgets)
{
    QLabel* label = makeLabel(parent, gpsFieldName(field), QString());
    label->setMinimumHeight(label->fontMetrics().height());
    layout->addWidget(label);
    widgets.fields[static_cast<std::size_t>(field)] = label;
    return label;
}

QGroupBox* addGroup(QWidget* parent, QVBoxLayout* column, const char* name, const char* title,
                    std::initializer_list<GpsField> labels, GpsWidgets& widgets)
{
    QGroupBox* group = makeGroup(parent, name, QString::fromLatin1(title));
    auto* rows = new QVBoxLayout(group);
    rows->setContentsMargins(kMargin + 2, kMargin, kMargin + 2, kMargin);
    rows->setSpacing(kSpacing);
    for (const GpsField label : labels)
        addLabel(group, rows, label, widgets);
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
void buildHeaderLine(QWidget* panel, QVBoxLayout* outer, GpsWidgets& widgets)
{
    auto* line = new QHBoxLayout;
    line->setSpacing(kMargin * 2);
    QLabel* dateTime = addLabel(panel, line, GpsField::lblDateTime, widgets);
    QFont bold = dateTime->font();
    bold.setBold(true);
    dateTime->setFont(bold);
    line->addStretch(1);
    line->addWidget(makeLabel(panel, "lblGMTCaption", QStringLiteral("GMT Offset:")));
    addLabel(panel, line, GpsField::lblGMT, widgets)->setFont(bold);
    line->addSpacing(kMargin * 2);
    line->addWidget(makeLabel(panel, "lblIDCaption", QStringLiteral("ID:")));
    addLabel(panel, line, GpsField::lblID, widgets)->setFont(bold);
    outer->addLayout(line);
}

void buildStatusGroups(QWidget* panel, QVBoxLayout* outer, GpsWidgets& widgets)
{
    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(kMargin);
    grid->setContentsMargins(0, 0, 0, 0);
    QVBoxLayout* positions = addColumn(grid, 0);
    addGroup(panel, positions, "gbFilteredPosition", "Filtered Position",
             {GpsField::lblFilLat, GpsField::lblFilLon, GpsField::lblFilGPSHeight,
              GpsField::lblFilMSLHeight},
             widgets);
    addGroup(panel, positions, "gbUnfilteredPosition", "Unfiltered Position",
             {GpsField::lblLat, GpsField::lblLon, GpsField::lblGPSHeight, GpsField::lblMSLHeight},
             widgets);
    positions->addStretch(1);

    QVBoxLayout* motion = addColumn(grid, 1);
    addGroup(panel, motion, "gbVelocity", "Velocity",
             {GpsField::lbl3DSpeed, GpsField::lbl2DSpeed, GpsField::lblHeading}, widgets);
    addGroup(panel, motion, "gbClock", "Clock",
             {GpsField::lblClockBias, GpsField::lblOscOffset, GpsField::lblTemperature}, widgets);
    addGroup(panel, motion, "gbSatellites", "Satellites",
             {GpsField::lblSatData, GpsField::lblGeometry}, widgets);
    motion->addStretch(1);

    QVBoxLayout* receiver = addColumn(grid, 2);
    addGroup(panel, receiver, "gbUTC", "UTC",
             {GpsField::lblUTCMode, GpsField::lblUTCOffset, GpsField::lblUTCValue}, widgets);
    QGroupBox* status =
        addGroup(panel, receiver, "gbReceiverStatus", "Receiver Status", {}, widgets);
    for (int line = 1; line <= kRecStatCount; ++line)
        addLabel(status, status->layout(), recStatField(line), widgets);
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
void buildChannelTable(QWidget* panel, QVBoxLayout* outer, GpsWidgets& widgets)
{
    QGroupBox* table = makeGroup(panel, "gbChannels", QStringLiteral("Channels"));
    auto* rows = new QVBoxLayout(table);
    rows->setContentsMargins(kMargin + 2, kMargin, kMargin, kMargin);
    rows->setSpacing(0);
    const QFont mono = channelTableFont(table->font());
    auto addRow = [&](GpsField field) {
        QLabel* row = makeLabel(table, gpsFieldName(field), QString());
        row->setFont(mono);
        row->setMinimumHeight(QFontMetrics(mono).height());
        row->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
        row->setTextFormat(Qt::PlainText);
        rows->addWidget(row);
        widgets.fields[static_cast<std::size_t>(field)] = row;
        return row;
    };
    addRow(GpsField::lblChannelHdr)->setText(QString::fromLatin1(kChannelHeaderText));
    for (int n = 1; n <= kGpsChannelCount; ++n)
        addRow(channelField(n));
    outer->addWidget(table);
}

// The "GPS Data" group's fields are read-only edit boxes, the GPS screen's are labels.
void setFieldText(const GpsWidgets& widgets, GpsField field, const std::string& text)
{
    QWidget* widget = widgets.widget(field);
    assert(widget);
    if (inGpsDataGroup(field))
        static_cast<QLineEdit*>(widget)->setText(qText(text));
    else
        static_cast<QLabel*>(widget)->setText(qText(text));
}

QColor qColour(const Rgb& c)
{
    return QColor(c.red, c.green, c.blue);
}

// The field's face (Base, and Window for a field that fills its background) and its text.
void setStatusColours(QLineEdit* field, const StatusColours& colours)
{
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

void addGpsDataFields(QWidget* group, QFormLayout* rows, GpsWidgets& widgets)
{
    // In the group's row order, which is not the order of an update.
    const std::pair<GpsField, const char*> captioned[] = {
        {GpsField::edGPSDate, "Date"},         {GpsField::edGPSTime, "Time"},
        {GpsField::edGPSLatitude, "Latitude"}, {GpsField::edGPSLongitude, "Longitude"},
        {GpsField::edGPSSpeed, "Speed"},       {GpsField::edGPSHeading, "Heading"},
        {GpsField::edGPSAltitude, "Altitude"}, {GpsField::edGPSSats, "Satellites"},
    };
    for (const auto& [field, caption] : captioned) {
        QLineEdit* box = makeDisplayField(group, gpsFieldName(field));
        widgets.fields[static_cast<std::size_t>(field)] = box;
        rows->addRow(QString::fromLatin1(caption), box);
    }
    widgets.status = makeDisplayField(group, "edGPSStatus");
    // The status field shows the fix by its colour, which only shows on a filled field.
    widgets.status->setAutoFillBackground(true);
    rows->addRow(QStringLiteral("Status"), widgets.status);
}

void buildGpsPanel(QWidget* gpsPanel, GpsWidgets& widgets)
{
    auto* outer = new QVBoxLayout(gpsPanel);
    outer->setContentsMargins(kMargin, kMargin, kMargin, kMargin);
    outer->setSpacing(kSpacing + 2);
    buildHeaderLine(gpsPanel, outer, widgets);
    buildStatusGroups(gpsPanel, outer, widgets);
    buildChannelTable(gpsPanel, outer, widgets);
    outer->addStretch(1);
}

void showGpsStatus(const GpsWidgets& widgets, const GpsPanelTexts& texts)
{
    for (std::size_t i = 0; i < kGpsDataFieldCount; ++i)
        setFieldText(widgets, gpsFieldAt(i), texts.texts[i]);
    setStatusColours(widgets.status, texts.status);
    for (std::size_t i = kGpsDataFieldCount; i < kGpsFieldCount; ++i)
        setFieldText(widgets, gpsFieldAt(i), texts.texts[i]);
}

void showGpsStatusStale(const GpsWidgets& widgets)
{
    widgets.status->setPalette(QApplication::palette(widgets.status));
}

} // namespace zentor
