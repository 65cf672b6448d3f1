#include "ExportFormats.h"
#include "FixTime.h"
#include "core/TextFormat.h"

namespace zentor::klfexport {

namespace {

const char* sourceWord(PositionSource source)
{
    return source == PositionSource::Gps ? "gps" : "travelpilot";
}

} // namespace

// No field ever holds a comma, a quote or a line end, so none is quoted.
void writeCsv(std::ostream& out, const Drive& drive, const ExportSettings& settings)
{
    out << "time,latitude,longitude,receiver,mode,channel,frequency_mhz,rssi_dbm,"
           "position_source\r\n";
    for (const Reading& r : drive.readings) {
        if (!settings.allReceivers && r.receiver != settings.receiver)
            continue;
        const Position& p = drive.positions[r.position];
        out << isoTime(p.time) << ',' << formatText("%.6f,%.6f", p.latitudeDeg, p.longitudeDeg)
            << ',' << r.receiver << ',' << measurementModeName(r.mode) << ',';
        if (r.channel)
            out << *r.channel;
        out << ',';
        if (r.frequencyMHz)
            out << formatText("%.5f", *r.frequencyMHz);
        out << ',' << r.rssiDbm << ',' << sourceWord(drive.source) << "\r\n";
    }
}

} // namespace zentor::klfexport
