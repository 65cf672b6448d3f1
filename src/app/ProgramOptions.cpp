#include "app/ProgramOptions.h"

#include "logging/LogFileName.h"

#include <cctype>
#include <cstdlib>

namespace zentor {

namespace {

const char* const kVersion = "5.02";
constexpr int kInstrumentComPorts = 4;
constexpr int kTravelPilotComPorts = 9;

std::string upper(std::string text)
{
    for (char& c : text)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

// The n of "COMn" or "COMn:" (any case) when it is 1..highest, else 0.
int comNumber(const std::string& value, int highest)
{
    std::string name = upper(value);
    if (!name.empty() && name.back() == ':')
        name.pop_back();
    if (name.size() != 4 || name.compare(0, 3, "COM") != 0)
        return 0;
    const int n = name[3] - '0';
    return n >= 1 && n <= highest ? n : 0;
}

// A whole decimal number 1..highest, else 0.
int positiveNumber(const std::string& value, int highest)
{
    if (value.empty() || value.size() > 9)
        return 0;
    for (char c : value) {
        if (!std::isdigit(static_cast<unsigned char>(c)))
            return 0;
    }
    const long n = std::strtol(value.c_str(), nullptr, 10);
    return n >= 1 && n <= highest ? static_cast<int>(n) : 0;
}

// The toolkit's options that take the next argument as their value; every other toolkit option
// stands alone or carries its value after a '='.
bool toolkitOptionTakesValue(const std::string& name)
{
    static const char* const kWithValue[] = {
        "-platform",        "-platformpluginpath", "-platformtheme", "-plugin",
        "-qwindowgeometry", "-qwindowicon",        "-qwindowtitle",  "-session",
        "-display",         "-geometry",           "-style",         "-stylesheet",
    };
    for (const char* option : kWithValue) {
        if (name == option)
            return true;
    }
    return false;
}

bool isToolkitOption(const std::string& argument)
{
    return argument.size() > 1 && argument[0] == '-' && argument[1] != '-' && argument != "-h";
}

// The replay speed: "max" (0), or a decimal number from 0.25 to 64.
std::optional<double> replaySpeed(const std::string& value)
{
    if (value == "max")
        return 0.0;
    if (value.empty() || value.size() > 12 ||
        value.find_first_not_of("0123456789.") != std::string::npos)
        return std::nullopt;
    char* end = nullptr;
    const double speed = std::strtod(value.c_str(), &end);
    if (*end != '\0' || !(speed >= 0.25 && speed <= 64.0))
        return std::nullopt;
    return speed;
}

ProgramOptions failure(const std::string& text)
{
    ProgramOptions bad;
    bad.action = ProgramOptions::Action::Error;
    bad.error = text;
    return bad;
}

} // namespace

ProgramOptions parseProgramOptions(const std::vector<std::string>& arguments, Program program)
{
    const bool dataLogger = program == Program::DataLogger;
    ProgramOptions options;
    bool travelPilotGiven = false;
    bool headlessGiven = false;
    bool speedGiven = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        std::string name = arguments[i];
        if (dataLogger && isToolkitOption(name)) {
            options.toolkitArguments.push_back(name);
            if (toolkitOptionTakesValue(name) && i + 1 < arguments.size())
                options.toolkitArguments.push_back(arguments[++i]);
            continue;
        }
        std::optional<std::string> value;
        if (const auto eq = name.find('='); name.rfind("--", 0) == 0 && eq != std::string::npos) {
            value = name.substr(eq + 1);
            name.erase(eq);
        }
        if (name == "-h" || name == "--help" || name == "--version") {
            if (value)
                return failure(name + " takes no value");
            options.action = name == "--version" ? ProgramOptions::Action::Version
                                                 : ProgramOptions::Action::Help;
            return options;
        }
        if (name == "--headless" && dataLogger) {
            if (value)
                return failure("--headless takes no value");
            if (headlessGiven)
                return failure("--headless given twice");
            options.headless = headlessGiven = true;
            continue;
        }
        if (name != "--port" && name != "--travelpilot" && name != "--log" && name != "--seconds" &&
            name != "--map-receiver" && name != "--map-range" && name != "--replay" &&
            name != "--speed")
            return failure("unknown option '" + arguments[i] + "'");
        if (!value) {
            if (i + 1 == arguments.size())
                return failure(name + " needs a value");
            value = arguments[++i];
        }
        if (name == "--port") {
            if (options.portChoice)
                return failure("--port given twice");
            if (upper(*value) == "USB") {
                options.portChoice = kPortChoiceUsb;
            } else if (const int n = comNumber(*value, kInstrumentComPorts)) {
                options.portChoice = n - 1;
            } else {
                return failure("--port must be COM1, COM2, COM3, COM4 or USB, not '" + *value +
                               "'");
            }
        } else if (name == "--travelpilot") {
            if (travelPilotGiven)
                return failure("--travelpilot given twice");
            const int n = comNumber(*value, kTravelPilotComPorts);
            if (n == 0)
                return failure("--travelpilot must be COM1 .. COM9, not '" + *value + "'");
            options.navChoice = n;
            travelPilotGiven = true;
        } else if (name == "--log") {
            if (options.logFile)
                return failure("--log given twice");
            if (value->empty())
                return failure("--log needs a file name");
            if (const std::string refusal = logFileNameRefusal(*value); !refusal.empty())
                return failure("--log: " + refusal);
            options.logFile = *value;
        } else if (name == "--map-receiver") {
            if (options.mapReceiver)
                return failure("--map-receiver given twice");
            if (*value != "1" && *value != "2")
                return failure("--map-receiver must be 1 or 2, not '" + *value + "'");
            options.mapReceiver = *value == "1" ? 0 : 1;
        } else if (name == "--map-range") {
            if (options.mapRange)
                return failure("--map-range given twice");
            const std::size_t comma = value->find(',');
            if (comma == std::string::npos)
                return failure("--map-range takes MIN,MAX, not '" + *value + "'");
            const MapRangeReading reading =
                readMapRange(value->substr(0, comma), value->substr(comma + 1));
            if (!reading.range)
                return failure("--map-range: " + reading.refusal);
            options.mapRange = reading.range;
        } else if (name == "--replay") {
            if (options.replayFile)
                return failure("--replay given twice");
            if (value->empty())
                return failure("--replay needs a log file");
            options.replayFile = *value;
        } else if (name == "--speed") {
            if (speedGiven)
                return failure("--speed given twice");
            const std::optional<double> speed = replaySpeed(*value);
            if (!speed)
                return failure("--speed must be max or a number from 0.25 to 64, not '" + *value +
                               "'");
            options.replaySpeed = *speed;
            speedGiven = true;
        } else {
            if (options.seconds)
                return failure("--seconds given twice");
            const int n = positiveNumber(*value, kLongestRunSeconds);
            if (n == 0)
                return failure("--seconds must be a whole number from 1 to " +
                               std::to_string(kLongestRunSeconds) + ", not '" + *value + "'");
            options.seconds = n;
        }
    }
    if (options.replayFile) {
        if (options.portChoice || travelPilotGiven)
            return failure("--replay cannot be used with --port or --travelpilot: the log is "
                           "the instrument");
        if (options.logFile)
            return failure("--log cannot be used with --replay: a replay never writes into a log");
    } else if (speedGiven) {
        return failure("--speed needs --replay");
    }
    if (!dataLogger && !options.connectsAtOnce())
        return failure("--port or --replay is needed");
    if (!options.connectsAtOnce() &&
        (travelPilotGiven || options.logFile || options.headless || options.seconds))
        return failure("--travelpilot, --log, --headless and --seconds need --port or --replay");
    if (options.portChoice) {
        if (const std::string problem = sharedPortProblem(*options.portChoice, options.navChoice);
            !problem.empty())
            return failure(problem);
    }
    return options;
}

void applyMapChoices(const ProgramOptions& options, MapSettings& settings)
{
    if (options.mapReceiver)
        settings.setReceiver(*options.mapReceiver);
    if (options.mapRange)
        settings.setRange(*options.mapRange);
}

std::string programUsage(const std::string& programName, Program program)
{
    const bool dataLogger = program == Program::DataLogger;
    const std::string indent(programName.size() + 8, ' ');
    std::string usage = "Usage: ";
    if (dataLogger)
        usage += programName + " [toolkit options]\n       ";
    usage += programName + " --port COM1|COM2|COM3|COM4|USB [--travelpilot COMn] [--log NAME]\n" +
             indent + (dataLogger ? "[--headless] [--seconds N]" : "[--seconds N]") +
             " [--map-receiver 1|2] [--map-range MIN,MAX]\n";
    usage += "       " + programName + " --replay FILE.KLF [--speed X|max]" +
             (dataLogger ? " [--headless]" : "") + " [--seconds N]\n";
    usage +=
        dataLogger
            ? "\n"
              "Without options the data logger starts with its connection dialog. With --port the\n"
              "dialog's choices are made from the options and confirmed at once. Options with a\n"
              "single '-' (-platform offscreen, -style fusion ...) are the toolkit's own.\n"
            : "\n"
              "The unattended data logger: no window; one status line per second on standard\n"
              "output, messages on standard error.\n";
    usage += "\n"
             "Options:\n"
             "  --port PORT         connect to the instrument on COM1 .. COM4 or USB\n"
             "  --travelpilot COMn  take positions from a TravelPilot on COM1 .. COM9 (default:\n"
             "                      the instrument's GPS)\n"
             "  --log NAME          log to NAME (\".KLF\" replaces what follows its last \".\");\n"
             "                      the file starts once the instrument has identified itself,\n"
             "                      with every packet from the first\n"
             "  --replay FILE.KLF   replay a recorded drive instead of a live instrument, through\n"
             "                      the same displays, GPS screen and map feed; nothing is\n"
             "                      logged during a replay\n"
             "  --speed X|max       replay at X times the recorded pace, 0.25 to 64 (default 1),\n"
             "                      or as fast as the program reads\n";
    if (dataLogger)
        usage += "  --headless          run without any window: one status line per second on\n"
                 "                      standard output, errors on standard error\n";
    usage += "  --seconds N         end the run after N seconds\n"
             "  --map-receiver R    feed the map with receiver R's readings, 1 or 2 (default 1)\n"
             "  --map-range MIN,MAX the map's colour range in whole dBm from -120 to -30, MIN\n"
             "                      below MAX (default -120,-50)\n"
             "  -h, --help          show this text\n"
             "  --version           show the version\n"
             "\n"
             "SIGINT (Ctrl+C) and SIGTERM end a run cleanly, the log file closed. \"COMn\" opens\n"
             "the device named by the environment variable ZENTOR_COMn when it is set.\n"
             "Exit status: 0 after a clean end, 1 when the log file failed, 2 for a bad command\n"
             "line or a file that cannot be replayed.\n";
    return usage;
}

std::string programVersion(const std::string& programName)
{
    return programName + " " + kVersion + "\n";
}

std::optional<int> answerWithoutRun(const ProgramOptions& options, const char* programName,
                                    Program program, std::FILE* out, std::FILE* errors)
{
    switch (options.action) {
    case ProgramOptions::Action::Help:
        std::fputs(programUsage(programName, program).c_str(), out);
        return 0;
    case ProgramOptions::Action::Version:
        std::fputs(programVersion(programName).c_str(), out);
        return 0;
    case ProgramOptions::Action::Error:
        std::fprintf(errors, "%s: %s\nTry '%s --help' for more information.\n", programName,
                     options.error.c_str(), programName);
        return kBadUsageExitStatus;
    case ProgramOptions::Action::Run:
        break;
    }
    return std::nullopt;
}

std::string sharedPortProblem(int portChoice, int navChoice)
{
    if (portChoice == kPortChoiceUsb || navChoice == kNavChoiceInstrumentGps ||
        travelPilotPort(navChoice) != portChoice + 1)
        return {};
    return "The instrument and the TravelPilot cannot share COM" + std::to_string(portChoice + 1) +
           ": choose another port for one of them.";
}

Selections selectionsFromChoices(int portChoice, int navChoice)
{
    Selections s;
    if (portChoice == kPortChoiceUsb) {
        s.link.transport = LinkSelection::kUsb;
        s.link.portNumber = 0;
    } else {
        s.link.transport = LinkSelection::kRs232;
        s.link.portNumber = static_cast<std::uint16_t>(portChoice + 1);
    }
    s.navigationMode = navChoice == kNavChoiceInstrumentGps ? Selections::kInstrumentGps
                                                            : Selections::kTravelPilot;
    return s;
}

} // namespace zentor
