#include "SimOptions.h"

#include <cerrno>
#include <cstdlib>
#include <functional>
#include <map>

namespace zentor::sim {

namespace {

constexpr long long kMaxRate = 1000;
constexpr long long kMaxSeconds = 365LL * 24 * 3600;
constexpr long long kMaxEverySeconds = 24 * 3600;
constexpr std::size_t kMaxSerial = 8;

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
    static const std::map<std::string, MeasurementMode> kModes = {
        {"single", MeasurementMode::Single},
        {"list", MeasurementMode::List},
        {"table", MeasurementMode::Table}};
    const auto it = kModes.find(text);
    if (it == kModes.end())
        return "--mode must be single, list or table, not '" + text + "'";
    mode = it->second;
    return {};
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
        else
            return "--faults takes a comma-separated list of garbage, bitflip and truncate, not '" +
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
    bool faultRateGiven = false;
    using Handler = std::function<std::string(const std::string&)>;
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
         [&](const std::string& v) {
             o.linkPath = v;
             return v.empty() ? std::string("--link needs a path") : std::string();
         }},
        {"--record",
         [&](const std::string& v) {
             o.recordPath = v;
             return v.empty() ? std::string("--record needs a file name") : std::string();
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
             faultRateGiven = true;
             return parseReal(v, 0.0, 1.0, o.faultRatePerFrame)
                        ? std::string()
                        : "--fault-rate takes a probability from 0 to 1, not '" + v + "'";
         }},
        {"--seed",
         [&](const std::string& v) {
             return setInteger("--seed", v, 0, UINT32_MAX,
                               [&](long long n) { o.seed = static_cast<std::uint32_t>(n); });
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
        } else if (name == "--no-gps" && !value) {
            o.instrument.gps = false;
        } else if (const auto handler = withValue.find(name); handler != withValue.end()) {
            if (!value && i + 1 < args.size())
                value = args[++i];
            parsed.error = value ? handler->second(*value) : name + " needs a value";
        } else {
            parsed.error = "unknown option '" + args[i] + "'";
        }
    }
    if (parsed.error.empty() && faultRateGiven && !o.faults.any())
        parsed.error = "--fault-rate has no effect without --faults";
    return parsed;
}

std::string usageText()
{
    return R"(Usage: zentor-sim [options]

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
  --faults LIST             damage the link: a comma-separated list of
                              garbage   1-16 random bytes (often holding 0xAA) between frames
                              bitflip   one bit of a frame flipped
                              truncate  a frame cut short
  --fault-rate P            probability that a frame is hit by one of the listed faults, chosen
                            with equal chance, 0-1 (default 0.05)
  --seed N                  random seed for levels, GPS noise and faults, so that a run can be
                            repeated (default: a new seed, printed at start)
  -h, --help                show this text

At the end a summary goes to standard error: frames sent, damaged, garbage bursts, and the
packet records a receiver finds. Exit status: 0 after a normal end, 1 when the terminal, link or
record file cannot be set up, 2 for a bad command line.
)";
}

} // namespace zentor::sim
