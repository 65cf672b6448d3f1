#include "app/ProgramOptions.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <sstream>
#include <tuple>

namespace zentor {
namespace {

using Action = ProgramOptions::Action;
using Args = std::vector<std::string>;

std::string joined(const Args& args)
{
    std::ostringstream out;
    for (const std::string& a : args)
        out << '[' << a << ']';
    return out.str();
}

struct GoodLine
{
    Args args;
    Action action;
    std::optional<int> portChoice;
    int navChoice;
    std::optional<std::string> logFile;
    bool headless;
    std::optional<int> seconds;
};

TEST(ProgramOptions, GoodCommandLinesGiveTheirChoices)
{
    const std::vector<GoodLine> table = {
        {{}, Action::Run, std::nullopt, 0, std::nullopt, false, std::nullopt},
        {{"--port", "COM1"}, Action::Run, 0, 0, std::nullopt, false, std::nullopt},
        {{"--port", "COM4:"}, Action::Run, 3, 0, std::nullopt, false, std::nullopt},
        {{"--port=com2"}, Action::Run, 1, 0, std::nullopt, false, std::nullopt},
        {{"--port", "USB"}, Action::Run, 4, 0, std::nullopt, false, std::nullopt},
        {{"--port", "usb", "--travelpilot", "COM9"},
         Action::Run,
         4,
         9,
         std::nullopt,
         false,
         std::nullopt},
        {{"--travelpilot=COM5:", "--port", "COM3"},
         Action::Run,
         2,
         5,
         std::nullopt,
         false,
         std::nullopt},
        {{"--port", "COM1", "--log", "/data/run.01", "--headless", "--seconds", "20"},
         Action::Run,
         0,
         0,
         std::string("/data/run.01"),
         true,
         20},
        {{"--headless", "--seconds=1", "--log=Zentor", "--port=COM1"},
         Action::Run,
         0,
         0,
         std::string("Zentor"),
         true,
         1},
        {{"--port", "COM1", "--seconds", "31622400"},
         Action::Run,
         0,
         0,
         std::nullopt,
         false,
         31622400},
        {{"--help"}, Action::Help, std::nullopt, 0, std::nullopt, false, std::nullopt},
        {{"-h", "--bogus"}, Action::Help, std::nullopt, 0, std::nullopt, false, std::nullopt},
        {{"--version"}, Action::Version, std::nullopt, 0, std::nullopt, false, std::nullopt},
    };
    for (const GoodLine& line : table) {
        const ProgramOptions o = parseProgramOptions(line.args);
        SCOPED_TRACE(joined(line.args));
        EXPECT_EQ(o.action, line.action) << o.error;
        EXPECT_EQ(o.error, "");
        EXPECT_EQ(o.portChoice, line.portChoice);
        EXPECT_EQ(o.connectsAtOnce(), line.portChoice.has_value());
        EXPECT_EQ(o.navChoice, line.navChoice);
        EXPECT_EQ(o.logFile, line.logFile);
        EXPECT_EQ(o.headless, line.headless);
        EXPECT_EQ(o.seconds, line.seconds);
    }
}

TEST(ProgramOptions, BadCommandLinesSayWhatIsWrong)
{
    const std::vector<std::pair<Args, std::string>> table = {
        {{"--port"}, "--port needs a value"},
        {{"--port", "COM5"}, "--port must be COM1, COM2, COM3, COM4 or USB, not 'COM5'"},
        {{"--port", "COM0"}, "--port must be COM1, COM2, COM3, COM4 or USB, not 'COM0'"},
        {{"--port", "COM12"}, "--port must be COM1, COM2, COM3, COM4 or USB, not 'COM12'"},
        {{"--port="}, "--port must be COM1, COM2, COM3, COM4 or USB, not ''"},
        {{"--port", "COM1", "--port", "COM2"}, "--port given twice"},
        {{"--port", "COM1", "--travelpilot", "COM10"},
         "--travelpilot must be COM1 .. COM9, not 'COM10'"},
        {{"--port", "COM1", "--travelpilot", "USB"},
         "--travelpilot must be COM1 .. COM9, not 'USB'"},
        {{"--port", "COM3", "--travelpilot", "com3"},
         "The instrument and the TravelPilot cannot share COM3: choose another port for one of "
         "them."},
        {{"--port", "COM1", "--log"}, "--log needs a value"},
        {{"--port", "COM1", "--log="}, "--log needs a file name"},
        {{"--port", "COM1", "--log", "/data/run/"},
         "--log: The log file name \"/data/run/\" ends in a folder separator: a file name must "
         "follow it."},
        {{"--port", "COM1", "--seconds", "0"},
         "--seconds must be a whole number from 1 to 31622400, not '0'"},
        {{"--port", "COM1", "--seconds", "-3"},
         "--seconds must be a whole number from 1 to 31622400, not '-3'"},
        {{"--port", "COM1", "--seconds", "2.5"},
         "--seconds must be a whole number from 1 to 31622400, not '2.5'"},
        {{"--port", "COM1", "--seconds", "31622401"},
         "--seconds must be a whole number from 1 to 31622400, not '31622401'"},
        {{"--port", "COM1", "--seconds", "99999999999"},
         "--seconds must be a whole number from 1 to 31622400, not '99999999999'"},
        {{"--port", "COM1", "--headless", "--headless"}, "--headless given twice"},
        {{"--headless=yes", "--port", "COM1"}, "--headless takes no value"},
        {{"--help=me"}, "--help takes no value"},
        {{"--headless"}, "--travelpilot, --log, --headless and --seconds need --port or --replay"},
        {{"--log", "x", "--seconds", "5"},
         "--travelpilot, --log, --headless and --seconds need --port or --replay"},
        {{"--port", "COM1", "extra"}, "unknown option 'extra'"},
        {{"--Port", "COM1"}, "unknown option '--Port'"},
    };
    for (const auto& [args, error] : table) {
        const ProgramOptions o = parseProgramOptions(args);
        EXPECT_EQ(o.action, Action::Error) << joined(args);
        EXPECT_EQ(o.error, error) << joined(args);
        EXPECT_FALSE(o.connectsAtOnce()) << joined(args);
    }
}

TEST(ProgramOptions, MapChoicesGoToTheMapSettingsOfEveryRun)
{
    for (const Program program : {Program::DataLogger, Program::UnattendedLogger}) {
        const ProgramOptions o = parseProgramOptions(
            {"--port", "COM1", "--map-receiver", "2", "--map-range=-110,-40"}, program);
        ASSERT_EQ(o.action, Action::Run) << o.error;
        MapSettings settings;
        applyMapChoices(o, settings);
        EXPECT_EQ(settings.receiver(), 1);
        EXPECT_EQ(settings.range(), (MapRange{-110, -40}));
    }
    MapSettings untouched;
    applyMapChoices(parseProgramOptions({"--port", "COM1"}), untouched);
    EXPECT_EQ(untouched.range(), (MapRange{-120, -50}));

    const std::vector<std::pair<Args, std::string>> table = {
        {{"--map-receiver", "3"}, "--map-receiver must be 1 or 2, not '3'"},
        {{"--map-receiver", "1", "--map-receiver", "1"}, "--map-receiver given twice"},
        {{"--map-range", "-100"}, "--map-range takes MIN,MAX, not '-100'"},
        {{"--map-range", "-50,-60"},
         "--map-range: The minimum value for the color range (-50 dBm) must be below the "
         "maximum (-60 dBm)."},
        {{"--map-range", ",-60"},
         "--map-range: The minimum value for the color range must be a whole number from -120 "
         "to -30 dBm, not \"\"."},
    };
    for (const auto& [args, error] : table)
        EXPECT_EQ(parseProgramOptions(args).error, error) << joined(args);
}

TEST(ProgramOptions, AReplayStandsForTheLinkAndNeverLogs)
{
    const std::vector<std::tuple<Args, std::string, double>> table = {
        {{"--replay", "drive.KLF"}, "", 1.0},
        {{"--replay=drive.KLF", "--speed", "max"}, "", 0.0},
        {{"--replay", "drive.KLF", "--speed", "0.25"}, "", 0.25},
        {{"--replay", "drive.KLF", "--speed=64", "--headless", "--seconds", "9"}, "", 64.0},
        {{"--replay", "drive.KLF", "--speed", "0.2"},
         "--speed must be max or a number from 0.25 to 64, not '0.2'",
         1.0},
        {{"--replay", "drive.KLF", "--speed", "65"},
         "--speed must be max or a number from 0.25 to 64, not '65'",
         1.0},
        {{"--replay", "drive.KLF", "--speed", "4x"},
         "--speed must be max or a number from 0.25 to 64, not '4x'",
         1.0},
        {{"--port", "COM1", "--speed", "4"}, "--speed needs --replay", 1.0},
        {{"--replay", "drive.KLF", "--log", "x"},
         "--log cannot be used with --replay: a replay never writes into a log",
         1.0},
        {{"--replay", "drive.KLF", "--port", "COM1"},
         "--replay cannot be used with --port or --travelpilot: the log is the instrument",
         1.0},
        {{"--replay", ""}, "--replay needs a log file", 1.0},
    };
    for (const Program program : {Program::DataLogger, Program::UnattendedLogger}) {
        for (const auto& [args, error, speed] : table) {
            if (program == Program::UnattendedLogger &&
                std::find(args.begin(), args.end(), "--headless") != args.end())
                continue;
            const ProgramOptions o = parseProgramOptions(args, program);
            EXPECT_EQ(o.error, error) << joined(args);
            if (!error.empty())
                continue;
            EXPECT_EQ(o.replayFile, "drive.KLF") << joined(args);
            EXPECT_EQ(o.replaySpeed, speed) << joined(args);
            EXPECT_TRUE(o.connectsAtOnce()) << joined(args);
        }
    }
}

TEST(ProgramOptions, HelpNamesEveryOptionAndVersionIsOneLine)
{
    const std::string usage = programUsage("zentor-dl");
    for (const char* option : {"--port", "--travelpilot", "--log", "--headless", "--seconds",
                               "--map-receiver", "--map-range", "--replay", "--speed", "--help",
                               "--version"})
        EXPECT_NE(usage.find(option), std::string::npos) << option;
    EXPECT_EQ(usage.rfind("Usage: zentor-dl [toolkit options]\n", 0), 0u);
    EXPECT_EQ(programVersion("zentor-dl"), "zentor-dl 5.02\n");
    const std::string logger = programUsage("zentor-log", Program::UnattendedLogger);
    EXPECT_EQ(logger.rfind("Usage: zentor-log --port ", 0), 0u) << logger;
    EXPECT_EQ(logger.find("--headless"), std::string::npos);
}

TEST(ProgramOptions, ToolkitOptionsPassThroughWhileOursStayStrict)
{
    const ProgramOptions o = parseProgramOptions(
        {"-platform", "offscreen", "--port", "COM2", "-style=fusion", "-reverse", "-style", "x"});
    EXPECT_EQ(o.action, Action::Run) << o.error;
    EXPECT_EQ(o.portChoice, 1);
    EXPECT_EQ(o.toolkitArguments,
              (Args{"-platform", "offscreen", "-style=fusion", "-reverse", "-style", "x"}));
    EXPECT_EQ(parseProgramOptions({"-platform", "offscreen", "--xyz"}).error,
              "unknown option '--xyz'");
}

TEST(ProgramOptions, TheUnattendedLoggerNeedsAPortAndTakesNoToolkitOptions)
{
    const std::vector<std::pair<Args, std::string>> table = {
        {{}, "--port or --replay is needed"},
        {{"--log", "drive"}, "--port or --replay is needed"},
        {{"--port", "COM1", "--headless"}, "unknown option '--headless'"},
        {{"-platform", "offscreen", "--port", "COM1"}, "unknown option '-platform'"},
    };
    for (const auto& [args, error] : table)
        EXPECT_EQ(parseProgramOptions(args, Program::UnattendedLogger).error, error)
            << joined(args);
    const ProgramOptions o = parseProgramOptions(
        {"--port", "USB", "--travelpilot", "COM2", "--log", "drive", "--seconds", "5"},
        Program::UnattendedLogger);
    EXPECT_EQ(o.action, Action::Run) << o.error;
    EXPECT_EQ(o.portChoice, 4); // "USB"
    EXPECT_EQ(o.navChoice, 2);
    EXPECT_EQ(o.logFile, "drive");
    EXPECT_EQ(o.seconds, 5);
}

TEST(Selections, UsbGivesTransportTwoAndPortZero)
{
    const Selections s = selectionsFromChoices(kPortChoiceUsb, 0);
    EXPECT_EQ(s.link.transport, 2);
    EXPECT_EQ(s.link.portNumber, 0);
}

TEST(Selections, ComPortsGiveTransportOneAndTheirNumber)
{
    for (int choice = 0; choice < kPortChoiceUsb; ++choice) {
        const Selections s = selectionsFromChoices(choice, 0);
        EXPECT_EQ(s.link.transport, 1) << "COM" << choice + 1;
        EXPECT_EQ(s.link.portNumber, choice + 1) << "COM" << choice + 1;
    }
}

TEST(Selections, AnyTravelPilotEntrySetsNavigationModeOne)
{
    EXPECT_EQ(selectionsFromChoices(0, 0).navigationMode, 0);
    for (int choice = 1; choice <= 9; ++choice) {
        EXPECT_EQ(selectionsFromChoices(0, choice).navigationMode, 1) << choice;
        EXPECT_EQ(travelPilotPort(choice), choice);
    }
}

} // namespace

} // namespace zentor
