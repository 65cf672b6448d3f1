#pragma once

#include "link/TCom_Router.h"
#include "map/MapSettings.h"

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

// The command lines of the data logger (zentor-dl: without options it starts with the connection
// dialog; with --port the dialog's choices are made from the options and confirmed at once) and
// of the unattended logger (zentor-log: --port is needed, there is no window).
namespace zentor {

enum class Program
{
    DataLogger,       // zentor-dl
    UnattendedLogger, // zentor-log
};

// What the command line asks for.
struct ProgramOptions
{
    enum class Action
    {
        Run,     // start the program (interactive when no --port was given)
        Help,    // print the usage text and end
        Version, // print the version and end
        Error,   // a bad option or value: print `error` and end with kBadUsageExitStatus
    };

    Action action = Action::Run;
    std::string error; // what was wrong, for Action::Error

    std::optional<int> portChoice; // PortChoice list position (0-3 "COM1:".."COM4:", 4 "USB")
    int navChoice = 0; // NavChoice list position (0 "Zentor GPS", n "TravelPilot COMn:")
    std::optional<std::string> logFile; // put into LogFile, log mode on at once
    bool headless = false;              // no window: status lines on standard output
    // The toolkit's own options (zentor-dl only: "-platform offscreen", "-style fusion" ...), in
    // order, with their values; the toolkit takes them from the command line itself.
    std::vector<std::string> toolkitArguments;
    std::optional<int> seconds; // end the run after this many seconds
    // The map feed's settings, as the map range dialog would set them.
    std::optional<int> mapReceiver;   // --map-receiver 1|2, as 0 or 1
    std::optional<MapRange> mapRange; // --map-range MIN,MAX, checked by readMapRange
    std::optional<std::string> replayFile; // replay this log instead of a live link
    double replaySpeed = 1.0; // times the recorded pace, 0.25-64; 0 as fast as the program reads

    // True when the connection dialog is to be skipped.
    bool connectsAtOnce() const { return portChoice.has_value() || replayFile.has_value(); }
};

constexpr int kBadUsageExitStatus = 2;
constexpr int kLongestRunSeconds = 366 * 24 * 3600;

// Parses the arguments after the program name. Accepts "--opt VALUE" and "--opt=VALUE"; port
// names in any case, with or without the trailing ':' ("com3", "COM3:"). Every option but
// --help and --version needs --port or --replay, and zentor-log needs one of them. --replay
// stands instead of --port, --travelpilot and --log: a replay never writes into a log. Our options
// are checked strictly; for zentor-dl an argument with a single leading '-' (other than -h) is the
// toolkit's, taken with its value where the toolkit's option has one. Pure: no output, no side
// effects.
ProgramOptions parseProgramOptions(const std::vector<std::string>& arguments,
                                   Program program = Program::DataLogger);

// Puts the map choices of the command line (those given) into `settings`: every run, with windows
// or without, starts the map feed with them, and the map range dialog shows them.
void applyMapChoices(const ProgramOptions& options, MapSettings& settings);

// The --help text, naming the program `programName`.
std::string programUsage(const std::string& programName, Program program = Program::DataLogger);

// The --version text: program name and version, one line.
std::string programVersion(const std::string& programName);

// The answer to a command line that asks for no run: the help or version text on `out`, or the
// error and a hint at --help on `errors`. Returns the exit status (0, or kBadUsageExitStatus);
// nothing for Action::Run.
std::optional<int> answerWithoutRun(const ProgramOptions& options, const char* programName,
                                    Program program, std::FILE* out, std::FILE* errors);

// The three choices of the connection dialog, written once by its OK before any worker thread
// exists and only read afterwards (so the worker threads need no lock to read them).
struct Selections
{
    static constexpr std::uint8_t kInstrumentGps = 0;
    static constexpr std::uint8_t kTravelPilot = 1;

    LinkSelection link;                           // link transport and link port number
    std::uint8_t navigationMode = kInstrumentGps; // where positions come from
};

// The dialog's list positions: "COM1:" .. "COM4:", then "USB"; "Zentor GPS", then
// "TravelPilot COM1:" .. "TravelPilot COM9:".
constexpr int kPortChoiceUsb = 4;
constexpr int kNavChoiceInstrumentGps = 0;

// The selections that the dialog's two list positions stand for.
Selections selectionsFromChoices(int portChoice, int navChoice);

// Why the two list positions cannot be connected: the instrument and the TravelPilot on one COM
// port, where the TravelPilot's requests would go into the instrument's line. Empty when they
// can. The connection dialog shows it and stays open; the command line refuses it.
std::string sharedPortProblem(int portChoice, int navChoice);

// The COM port number the TravelPilot is on: the navigation list position itself ("TravelPilot
// COM5:" is position 5). Meaningful only when the position is not kNavChoiceInstrumentGps.
inline int travelPilotPort(int navChoice)
{
    return navChoice;
}

} // namespace zentor
