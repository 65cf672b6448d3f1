#pragma once

#include "gps/GpsPanelTexts.h"

#include <array>

class QFormLayout;
class QLineEdit;
class QWidget;

// The GPS screen's widgets and the "GPS Data" group's fields. The main window owns the GPS panel
// container and the group; these calls fill them and update both. Window thread only.
namespace zentor {

// The widgets that show the GPS status: one for each GpsField (a read-only field of the "GPS
// Data" group, a label of the GPS screen), and the status field. Filled by addGpsDataFields and
// buildGpsPanel; an update reaches every widget through it, none by looking for a name.
struct GpsWidgets
{
    std::array<QWidget*, kGpsFieldCount> fields{};
    QLineEdit* status = nullptr; // edGPSStatus

    QWidget* widget(GpsField field) const { return fields[static_cast<std::size_t>(field)]; }
};

// Adds the "GPS Data" group's rows to `rows`, the form layout of `group`: a captioned read-only
// field for each of its GpsFields, and the status field, which shows the fix by its colour.
void addGpsDataFields(QWidget* group, QFormLayout* rows, GpsWidgets& widgets);

// Builds the GPS panel's labels (lblDateTime ... lblChannel12, lblGeometry) into `gpsPanel`, the
// main window's GPSPanel, grouped and laid out to fill it. The channel table is set in a
// fixed-pitch face so that its columns line up. Before the first update only the group captions
// and the channel header show. Call once.
void buildGpsPanel(QWidget* gpsPanel, GpsWidgets& widgets);

// Applies one panel update: the "GPS Data" group fields, the colours of edGPSStatus (its text
// stays), then the GPS panel labels. Every widget must be there.
void showGpsStatus(const GpsWidgets& widgets, const GpsPanelTexts& texts);

// The link is lost: edGPSStatus loses its fix colour (the field's own neutral face) until the next
// panel update, so an old fix never looks live.
void showGpsStatusStale(const GpsWidgets& widgets);

// The face of the channel table.
extern const char* const kChannelTableFamily;

} // namespace zentor
