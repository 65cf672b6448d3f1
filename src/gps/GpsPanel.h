#pragma once

#include "gps/GpsPanelTexts.h"

class QWidget;

// The GPS screen's widgets. The main window owns the GPS panel container and the "GPS Data"
// group; these calls fill the one and update both. Window thread only.
namespace zentor {

// Builds the GPS panel's labels (lblDateTime ... lblChannel12, lblGeometry) into `gpsPanel`, the
// main window's GPSPanel, grouped and laid out to fill it. The channel table is set in a
// fixed-pitch face so that its columns line up. Before the first update only the group captions
// and the channel header show. Call once.
void buildGpsPanel(QWidget* gpsPanel);

// Applies one panel update to the controls under `mainWindow`, found by their object names: the
// "GPS Data" group fields, the colours of edGPSStatus (its text stays), then the GPS panel labels.
// A control that is not there is skipped.
void showGpsStatus(QWidget* mainWindow, const GpsPanelTexts& texts);

// The link is lost: edGPSStatus loses its fix colour (the field's own neutral face) until the next
// panel update, so an old fix never looks live.
void showGpsStatusStale(QWidget* mainWindow);

// The face of the channel table.
extern const char* const kChannelTableFamily;

} // namespace zentor
