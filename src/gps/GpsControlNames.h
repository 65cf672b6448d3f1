#pragma once

#include <string>

// Object names of the controls that show the GPS status: the fields of the main window's
// "GPS Data" group and the labels of the GPS panel. Both the texts and the widgets use them.
namespace zentor::gpsctl {

// "GPS Data" group.
inline constexpr char kDate[] = "edGPSDate";
inline constexpr char kTime[] = "edGPSTime";
inline constexpr char kLatitude[] = "edGPSLatitude";
inline constexpr char kLongitude[] = "edGPSLongitude";
inline constexpr char kAltitude[] = "edGPSAltitude";
inline constexpr char kSpeed[] = "edGPSSpeed";
inline constexpr char kHeading[] = "edGPSHeading";
inline constexpr char kSats[] = "edGPSSats";
inline constexpr char kStatus[] = "edGPSStatus";

// GPS panel.
inline constexpr char kPanel[] = "GPSPanel";
inline constexpr char kDateTime[] = "lblDateTime";
inline constexpr char kFilLat[] = "lblFilLat";
inline constexpr char kFilLon[] = "lblFilLon";
inline constexpr char kLat[] = "lblLat";
inline constexpr char kLon[] = "lblLon";
inline constexpr char kFilGPSHeight[] = "lblFilGPSHeight";
inline constexpr char kGPSHeight[] = "lblGPSHeight";
inline constexpr char kFilMSLHeight[] = "lblFilMSLHeight";
inline constexpr char kMSLHeight[] = "lblMSLHeight";
inline constexpr char k3DSpeed[] = "lbl3DSpeed";
inline constexpr char k2DSpeed[] = "lbl2DSpeed";
inline constexpr char kPanelHeading[] = "lblHeading";
inline constexpr char kClockBias[] = "lblClockBias";
inline constexpr char kOscOffset[] = "lblOscOffset";
inline constexpr char kTemperature[] = "lblTemperature";
inline constexpr char kSatData[] = "lblSatData";
inline constexpr char kUTCMode[] = "lblUTCMode";
inline constexpr char kUTCOffset[] = "lblUTCOffset";
inline constexpr char kUTCValue[] = "lblUTCValue";
inline constexpr char kGMT[] = "lblGMT";
inline constexpr char kID[] = "lblID";
inline constexpr char kChannelHdr[] = "lblChannelHdr";
inline constexpr char kGeometry[] = "lblGeometry";

constexpr int kRecStatCount = 7;

// "lblRecStat1" ... "lblRecStat7" for line 1-7.
std::string recStatName(int line);
// "lblChannel1" ... "lblChannel12" for channel 1-12.
std::string channelName(int channel);

} // namespace zentor::gpsctl
