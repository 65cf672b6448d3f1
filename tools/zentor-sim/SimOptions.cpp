#include "SimOptions.h"

#include <cerrno>
#include <cstdlib>
#include <functional>
#include <map>
#include <set>

namespace zentor::sim {

namespace {

constexpr long long kMaxRate = 1000;
constexpr long long kMaxSeconds = 365LL * 24 * 3600;
constexpr long long kMaxEverySeconds = 24 * 3600;
constexpr std::size_t kMaxSerial = 8;
constexpr double kMinSpeed = 0.01;
constexpr double kMaxSpeed = 1000.0;
constexpr double kMinTravelPilotSeconds = 0.1;
constexpr double kMaxTravelPilotSeconds = 24 * 3600;

// The options that shape the simulated instrument's stream, which a replayed log replaces.
const char* const kSimulationOptions[] = {"--mode",   "--rate",         "--no-gps",
                                          "--origin", "--marker-every", "--info-every"};
// The options of the instrument, which a TravelPilot alone does not have.
const char* const kInstrumentOptions[] = {
    "--mode",   "--rate",         "--no-gps", "--marker-every", "--info-every", "--link",
    "--record", "--record-times", "--serial", "--faults",       "--fault-rate", "--seed"};
const char* const kTravelPilotOptions[] = {"--tp-link", "--tp-silent-after", "--tp-resume-after"};

bool parseInteger(const std::string& text, long long min, long long max, long long& value)
{
    if (text.empty())
        return false;
    char* end = nullptr;
    errno = 0;
    value = std::strtoll(text.c_str(), &end, 10);
    return errno == 0 && *end == '\0' && value >= min && value <= max;
}

bool parseReal(const std::string& text, double min, double max, double& value)
{
    if (text.empty())
        return false;
    char* end = nullptr;
    errno = 0;
    value = std::strtod(text.c_str(), &end);
    return errno == 0 && *end == '\0' && value >= min && value <= max;
}

std::string parseMode(const std::string& text, MeasurementMode& mode)
{
    for (const MeasurementMode known : kMeasurementModes)
        if (text == measurementModeName(known)) {
            mode = known;
            return {};
        }
    return "--mode must be single, list or table, not '" + text + "'";
}

std::string parseFaults(const std::string& text, FaultKinds& faults)
{
    std::size_t from = 0;
    while (from <= text.size()) {
        const std::size_t comma = std::min(text.find(',', from), text.size());
        const std::string kind = text.substr(from, comma - from);
        if (kind == "garbage")
            faults.garbage = true;
        else if (kind == "bitflip")
            faults.bitflip = true;
        else if (kind == "truncate")
            faults.truncate = true;
        else if (kind == "bodyflip")
            faults.bodyflip = true;
        else
            return "--faults takes a comma-separated list of garbage, bitflip, truncate and "
                   "bodyflip, not '" +
                   kind + "'";
        from = comma + 1;
    }
    return {};
}

std::string parseOrigin(const std::string& text, GeoPoint& origin)
{
    const std::size_t comma = text.find(',');
    if (comma == std::string::npos ||
        !parseReal(text.substr(0, comma), -89.0, 89.0, origin.latitudeDeg) ||
        !parseReal(text.substr(comma + 1), -180.0, 180.0, origin.longitudeDeg))
        return "--origin takes LAT,LON in degrees (latitude -89..89, longitude -180..180), not '" +
               text + "'";
    return {};
}

std::string parseSerial(const std::string& text, std::string& serial)
{
    bool printable = !text.empty() && text.size() <= kMaxSerial;
    for (char c : text)
        printable = printable && c >= 0x20 && c <= 0x7E;
    if (!printable)
        return "--serial takes 1 to 8 printable ASCII characters, not '" + text + "'";
    serial = text;
    return {};
}

std::string parseSpeed(const std::string& text, double& speed)
{
    if (text == "max") {
        speed = 0.0;
        return {};
    }
    if (parseReal(text, 0.0, kMaxSpeed, speed) && (speed == 0.0 || speed >= kMinSpeed))
        return {};
    return "--speed takes a factor from 0.01 to 1000, or 0 or max for as fast as the reader "
           "takes them, not '" +
           text + "'";
}

std::string parseSeconds(const std::string& name, const std::string& text,
                         std::optional<double>& seconds)
{
    double value = 0.0;
    if (!parseReal(text, kMinTravelPilotSeconds, kMaxTravelPilotSeconds, value))
        return name + " takes seconds from 0.1 to 86400, not '" + text + "'";
    seconds = value;
    return {};
}

std::string needsValue(const std::string& name, const std::string& text, std::string& value,
                       const char* what)
{
    value = text;
    return text.empty() ? name + " needs " + what : std::string();
}

// Options that make no sense together, or one without another; empty when there are none.
std::string conflictIn(const std::set<std::string>& given)
{
    const auto has = [&](const std::string& option) { return given.count(option) != 0; };
    const bool alone = has("--travelpilot-only");
    const bool travelPilot = alone || has("--travelpilot");
    for (const char* option : kTravelPilotOptions)
        if (has(option) && !travelPilot)
            return std::string(option) + " needs --travelpilot or --travelpilot-only";
    if (has("--tp-resume-after") && !has("--tp-silent-after"))
        return "--tp-resume-after needs --tp-silent-after";
    if (has("--speed") && !has("--replay"))
        return "--speed needs --replay";
    if (has("--replay")) {
        for (const char* option : kSimulationOptions)
            if (has(option))
                return std::string(option) +
                       " cannot be used with --replay: the log decides what is sent";
        if (travelPilot)
            return std::string(alone ? "--travelpilot-only" : "--travelpilot") +
                   " cannot be used with --replay: the TravelPilot drives the simulated route, "
                   "not the log's";
    }
    if (alone)
        for (const char* option : kInstrumentOptions)
            if (has(option))
                return std::string(option) +
                       " cannot be used with --travelpilot-only: there is no instrument";
    if (has("--record-times") && !has("--record"))
        return "--record-times needs --record";
    if (has("--fault-rate") && !has("--faults"))
        return "--fault-rate has no effect without --faults";
    return {};
}

// Sets an integer option within its range, or says what it accepts.
std::string setInteger(const std::string& name, const std::string& text, long long min,
                       long long max, const std::function<void(long long)>& set)
{
    long long value = 0;
    if (!parseInteger(text, min, max, value))
        return name + " takes a whole number from " + std::to_string(min) + " to " +
               std::to_string(max) + ", not '" + text + "'";
    set(value);
    return {};
}

} // namespace

ParsedOptions parseOptions(const std::vector<std::string>& args)
{
    ParsedOptions parsed;
    SimOptions& o = parsed.options;
    std::set<std::string> given;
    using Handler = std::function<std::string(const std::string&)>;
    const std::map<std::string, std::function<void()>> flags = {
        {"--no-gps", [&] { o.instrument.gps = false; }},
        {"--travelpilot", [&] { o.travelPilot.enabled = true; }},
        {"--travelpilot-only", [&] { o.travelPilot.enabled = o.travelPilot.alone = true; }},
    };
    const std::map<std::string, Handler> withValue = {
        {"--mode", [&](const std::string& v) { return parseMode(v, o.instrument.mode); }},
        {"--rate",
         [&](const std::string& v) {
             return setInteger("--rate", v, 1, kMaxRate, [&](long long n) {
                 o.instrument.packetsPerSecond = static_cast<int>(n);
             });
         }},
        {"--seconds",
         [&](const std::string& v) {
             return setInteger("--seconds", v, 1, kMaxSeconds,
                               [&](long long n) { o.seconds = static_cast<int>(n); });
         }},
        {"--link",
         [&](const std::string& v) { return needsValue("--link", v, o.linkPath, "a path"); }},
        {"--record",
         [&](const std::string& v) {
             return needsValue("--record", v, o.recordPath, "a file name");
         }},
        {"--record-times",
         [&](const std::string& v) {
             return needsValue("--record-times", v, o.recordTimesPath, "a file name");
         }},
        {"--serial", [&](const std::string& v) { return parseSerial(v, o.instrument.serial); }},
        {"--origin", [&](const std::string& v) { return parseOrigin(v, o.instrument.townCentre); }},
        {"--marker-every",
         [&](const std::string& v) {
             return setInteger("--marker-every", v, 0, kMaxEverySeconds, [&](long long n) {
                 o.instrument.markerEverySeconds = static_cast<int>(n);
             });
         }},
        {"--info-every",
         [&](const std::string& v) {
             return setInteger("--info-every", v, 0, kMaxEverySeconds, [&](long long n) {
                 o.instrument.infoEverySeconds = static_cast<int>(n);
             });
         }},
        {"--faults", [&](const std::string& v) { return parseFaults(v, o.faults); }},
        {"--fault-rate",
         [&](const std::string& v) {
             return parseReal(v, 0.0, 1.0, o.faultRatePerFrame)
                        ? std::string()
                        : "--fault-rate takes a probability from 0 to 1, not '" + v + "'";
         }},
        {"--seed",
         [&](const std::string& v) {
             return setInteger("--seed", v, 0, UINT32_MAX,
                               [&](long long n) { o.seed = static_cast<std::uint32_t>(n); });
         }},
        {"--replay",
         [&](const std::string& v) {
             return needsValue("--replay", v, o.replay.path, "a log file");
         }},
        {"--speed", [&](const std::string& v) { return parseSpeed(v, o.replay.speed); }},
        {"--tp-link",
         [&](const std::string& v) {
             return needsValue("--tp-link", v, o.travelPilot.linkPath, "a path");
         }},
        {"--tp-silent-after",
         [&](const std::string& v) {
             return parseSeconds("--tp-silent-after", v, o.travelPilot.silence.silentAfterSeconds);
         }},
        {"--tp-resume-after",
         [&](const std::string& v) {
             return parseSeconds("--tp-resume-after", v, o.travelPilot.silence.resumeAfterSeconds);
         }},
    };

    for (std::size_t i = 0; i < args.size() && parsed.error.empty(); ++i) {
        std::string name = args[i];
        std::optional<std::string> value;
        const std::size_t equals = name.find('=');
        if (name.rfind("--", 0) == 0 && equals != std::string::npos) {
            value = name.substr(equals + 1);
            name.resize(equals);
        }
        if (name == "--help" || name == "-h") {
            o.help = true;
        } else if (const auto flag = flags.find(name); flag != flags.end() && !value) {
            flag->second();
            given.insert(name);
        } else if (const auto handler = withValue.find(name); handler != withValue.end()) {
            if (!value && i + 1 < args.size())
                value = args[++i];
            parsed.error = value ? handler->second(*value) : name + " needs a value";
            given.insert(name);
        } else {
            parsed.error = "unknown option '" + args[i] + "'";
        }
    }
    if (parsed.error.empty())
        parsed.error = conflictIn(given);
    return parsed;
}

std::string usageText()
{
    return R"(Usage: zentor-sim [options]
       zentor-sim --replay FILE.KLF [--speed X|max] [options]
       zentor-sim --travelpilot [TravelPilot options] [options]
       zentor-sim --travelpilot-only [TravelPilot options] [--origin LAT,LON] [--seconds N]

Simulates a Zentor instrument (two receivers and GPS) on a pseudo-terminal, for the data logger
to connect to. It prints the terminal's path; start the data logger with ZENTOR_COM1=<path> and
connect to COM1 (any "COMn:" maps to the variable ZENTOR_COMn). For the USB transport, run the
data logger with our fake D2XX library and ZENTOR_FAKE_FTD2XX_PORT=<path>: the fake library
relays its reads and writes to that terminal.

The simulator answers the data logger's commands (0x1C identification, 0x01 configuration,
0x30 channel information) and streams measurements while a client holds the port: a clock and
marker packet and a GPS record once a second, measurement packets at the chosen rate, channel
information when a client connects and every --info-every seconds. It writes nothing while no
client has the port open and waits for the next one when a client closes it.

Options:
  --mode single|list|table  measurement mode (default list): single sends types 2 and 3, list
                            type 7, table type 9
  --rate N                  measurement packets per second, 1-1000 (default 20)
  --seconds N               end after N seconds (default: run until Ctrl+C or SIGTERM); at
                            the end a client gets up to 2 s more to read what was sent
  --link PATH               also make PATH a symbolic link to the terminal (an old link there is
                            replaced; the link is removed at the end)
  --serial TEXT             the identification, 1-8 printable characters (default ZT012345)
  --no-gps                  send no GPS records
  --origin LAT,LON          centre of the simulated town in degrees, south and west negative
                            (default 52.0116,4.3571); the route is a loop about 4 km across,
                            driven at 50 km/h
  --marker-every N          step the marker number every N seconds (default 0: it stays 0)
  --info-every N            seconds between channel information packets (type 5 in single
                            mode, type 6 in list mode; default 10); 0: only when asked
  --record FILE             write every packet record that a correct receiver finds in the bytes
                            actually sent, in the log file's packet layout (16-bit little-endian
                            length L, then the L body bytes; no header), in order
  --record-times FILE       with --record: one text line for each record in the record file, in
                            the same order: the wall-clock time in Unix milliseconds when the
                            record's last byte was written to the terminal, and the record's
                            size in bytes ("1733695200123 84"), so that a log can be checked for
                            what had been sent by a given moment
  --faults LIST             damage the link: a comma-separated list of
                              garbage   1-16 random bytes (often holding 0xAA) between frames
                              bitflip   one bit of a frame flipped
                              truncate  a frame cut short
                              bodyflip  one bit of a frame's type, data or checksum
                                        flipped: a receiver drops exactly that frame
                                        for its checksum, so its count of bad
                                        checksums equals the bit flips counted at
                                        the end
  --fault-rate P            probability that a frame is hit by one of the listed faults, chosen
                            with equal chance, 0-1 (default 0.05)
  --seed N                  random seed for levels, GPS noise and faults, so that a run can be
                            repeated (default: a new seed, printed at start)
  -h, --help                show this text

Replaying a log:
  --replay FILE.KLF         send the instrument packets of a data logger log instead, so that a
                            recorded drive can be watched again: each as it was framed on the
                            wire (0xAA, then the packet record as the file holds it), in file
                            order, starting again for each client. Sent are the header's channel
                            information record and every packet after the header; not sent are
                            the header's other records, the TravelPilot records (0xC0, 0xC1) and
                            records with a wrong checksum. A damaged or cut-short file is
                            replayed up to its last whole record, and where it stops is reported.
                            The run ends when the whole log has gone out. Answers: 0x1C the
                            header's serial number (without a header: the log's identification
                            packet, else --serial); 0x01 and 0x30 the last configuration and
                            channel information packets sent so far (before the first, the log's
                            first; 0x01 without any: the header's receivers record, the numbering
                            flags and the last step byte of receiver 2, which the file does not
                            hold, as 0). Not with --mode, --rate, --no-gps, --origin,
                            --marker-every, --info-every or the TravelPilot.
  --speed X|max             replay at X times the recorded pace, 0.01-1000 (default 1; 10 is ten
                            times faster); 0 or max: as fast as the reader takes them. The pace
                            comes from the log's clock packets (type 4), one a second: each starts
                            a new second and the packets up to the next one are spread evenly
                            over it; before the first and after the last clock packet the
                            packets keep the pace of the nearest second; a log with fewer than
                            two clock packets goes at 20 packets a second. Nothing is dropped: a
                            reader that falls behind by more than a second delays the rest.

The TravelPilot navigation unit:
  --travelpilot             also play a TravelPilot on a second pseudo-terminal, in the vehicle
                            that drives the simulated GPS's route; it prints the terminal's path:
                            start the data logger with ZENTOR_COM2=<path> as well and choose
                            "TravelPilot COM2:" as the navigation source
  --travelpilot-only        the TravelPilot alone, with no instrument (for a real instrument on
                            another port); of the other options only --origin and --seconds apply
  --tp-link PATH            also make PATH a symbolic link to the TravelPilot's terminal
  --tp-silent-after S       stop answering S seconds (0.1-86400) after a client opened the
                            TravelPilot's port, so that the data logger's watchdog can be seen
                            to report "Not Responding!!!" after five missed seconds
  --tp-resume-after S       with --tp-silent-after: answer again after S silent seconds
                            (0.1-86400); the cycle of answering and silence repeats

  Its requests and responses have one layout: N (the whole length, 5 + data length), the
  command, its one's complement, the data, and the 16-bit sum of every byte before it, low byte
  first. The version request is 05 0A F5 04 01; a malformed request (wrong complement or sum,
  length outside 5-32) is skipped. Answers, multi-byte values little-endian:
    10  version 3.1: byte 3 major, byte 4 minor               07 0A F5 03 01 0A 01
    40  position: bytes 3-9 latitude, bytes 10-16 longitude, each the hemisphere letter (N or S,
        E or W), the whole degrees (16-bit) and the rest of the degree in millionths (32-bit,
        0-999999): 52.4711 N is 'N', 52, 471100, shown as "52.471100 N"; 52.000165 N is 'N',
        52, 165, shown as "52.000165 N"
    44  speed in whole km/h (signed 16-bit), direction in whole degrees, 0 north, 90 east
        (16-bit)
    any other command: 238 with no data

At the end a summary goes to standard error: frames sent, damaged, garbage bursts, and the
packet records a receiver finds (and the TravelPilot's requests answered). Exit status: 0 after
a normal end, 1 when a terminal, link, record file or log cannot be set up or read, 2 for a bad
command line.
)";
}

} // namespace zentor::sim
