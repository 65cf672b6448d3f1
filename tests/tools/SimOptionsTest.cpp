#include "zentor-sim/SimOptions.h"

#include <gtest/gtest.h>

namespace zentor::sim {
namespace {

TEST(SimOptions, DefaultsGiveAListModeRunWithGpsAndNoFaults)
{
    const ParsedOptions p = parseOptions({});
    ASSERT_EQ(p.error, "");
    EXPECT_EQ(p.options.instrument.mode, MeasurementMode::List);
    EXPECT_EQ(p.options.instrument.packetsPerSecond, 20);
    EXPECT_TRUE(p.options.instrument.gps);
    EXPECT_EQ(p.options.instrument.serial, "ZT012345");
    EXPECT_FALSE(p.options.seconds);
    EXPECT_FALSE(p.options.faults.any());
    EXPECT_DOUBLE_EQ(p.options.faultRatePerFrame, 0.05);
    EXPECT_FALSE(p.options.seed);
    EXPECT_FALSE(p.options.help);
}

TEST(SimOptions, ReadsEveryOptionInBothForms)
{
    const ParsedOptions p = parseOptions({"--mode",
                                          "table",
                                          "--rate=50",
                                          "--seconds",
                                          "3",
                                          "--link",
                                          "/tmp/zs",
                                          "--record=r.bin",
                                          "--serial",
                                          "AB 12",
                                          "--no-gps",
                                          "--origin=-34.6,-58.38",
                                          "--marker-every",
                                          "5",
                                          "--info-every=0",
                                          "--faults",
                                          "truncate,garbage",
                                          "--fault-rate",
                                          "0.25",
                                          "--seed",
                                          "4294967295"});
    ASSERT_EQ(p.error, "");
    const SimOptions& o = p.options;
    EXPECT_EQ(o.instrument.mode, MeasurementMode::Table);
    EXPECT_EQ(o.instrument.packetsPerSecond, 50);
    EXPECT_EQ(o.seconds, 3);
    EXPECT_EQ(o.linkPath, "/tmp/zs");
    EXPECT_EQ(o.recordPath, "r.bin");
    EXPECT_EQ(o.instrument.serial, "AB 12");
    EXPECT_FALSE(o.instrument.gps);
    EXPECT_DOUBLE_EQ(o.instrument.townCentre.latitudeDeg, -34.6);
    EXPECT_DOUBLE_EQ(o.instrument.townCentre.longitudeDeg, -58.38);
    EXPECT_EQ(o.instrument.markerEverySeconds, 5);
    EXPECT_EQ(o.instrument.infoEverySeconds, 0);
    EXPECT_TRUE(o.faults.truncate);
    EXPECT_TRUE(o.faults.garbage);
    EXPECT_FALSE(o.faults.bitflip);
    EXPECT_DOUBLE_EQ(o.faultRatePerFrame, 0.25);
    EXPECT_EQ(o.seed, 4294967295u);
    EXPECT_TRUE(parseOptions({"--help"}).options.help);
    EXPECT_TRUE(parseOptions({"-h"}).options.help);
}

TEST(SimOptions, SaysWhatIsWrongWithABadCommandLine)
{
    const struct
    {
        std::vector<std::string> args;
        const char* error;
    } cases[] = {
        {{"--mode", "scan"}, "--mode must be single, list or table, not 'scan'"},
        {{"--rate", "0"}, "--rate takes a whole number from 1 to 1000, not '0'"},
        {{"--rate", "20x"}, "--rate takes a whole number from 1 to 1000, not '20x'"},
        {{"--rate"}, "--rate needs a value"},
        {{"--seconds", "-1"}, "--seconds takes a whole number from 1 to 31536000, not '-1'"},
        {{"--serial", "ZT0123456"},
         "--serial takes 1 to 8 printable ASCII characters, not "
         "'ZT0123456'"},
        {{"--faults", "bitflip,noise"},
         "--faults takes a comma-separated list of garbage, bitflip, truncate and bodyflip, not "
         "'noise'"},
        {{"--faults", "garbage", "--fault-rate", "1.5"},
         "--fault-rate takes a probability from 0 to 1, not '1.5'"},
        {{"--fault-rate", "0.1"}, "--fault-rate has no effect without --faults"},
        {{"--origin", "52.0"},
         "--origin takes LAT,LON in degrees (latitude -89..89, longitude -180..180), not '52.0'"},
        {{"--seed", "4294967296"},
         "--seed takes a whole number from 0 to 4294967295, not "
         "'4294967296'"},
        {{"--replay", "x.KLF", "--speed", "fast"},
         "--speed takes a factor from 0.01 to 1000, or 0 or max for as fast as the reader takes "
         "them, not 'fast'"},
        {{"--replay", "x.KLF", "--speed", "0.001"},
         "--speed takes a factor from 0.01 to 1000, or 0 or max for as fast as the reader takes "
         "them, not '0.001'"},
        {{"--replay", "x.KLF", "--speed", "-2"},
         "--speed takes a factor from 0.01 to 1000, or 0 or max for as fast as the reader takes "
         "them, not '-2'"},
        {{"--replay="}, "--replay needs a log file"},
        {{"--travelpilot", "--tp-silent-after", "0"},
         "--tp-silent-after takes seconds from 0.1 to 86400, not '0'"},
        {{"--travelpilot", "--tp-silent-after", "2", "--tp-resume-after", "soon"},
         "--tp-resume-after takes seconds from 0.1 to 86400, not 'soon'"},
        {{"--travelpilot=yes"}, "unknown option '--travelpilot=yes'"},
        {{"--verbose"}, "unknown option '--verbose'"},
        {{"extra"}, "unknown option 'extra'"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(parseOptions(c.args).error, c.error) << c.args[0];
}

TEST(SimOptions, ReadsTheReplayAndTravelPilotOptions)
{
    const ParsedOptions replay =
        parseOptions({"--replay", "drive.KLF", "--speed=2.5", "--record", "r.bin", "--serial", "S1",
                      "--faults", "garbage", "--seed", "3", "--seconds", "9", "--link", "/tmp/zs"});
    ASSERT_EQ(replay.error, "");
    EXPECT_EQ(replay.options.replay.path, "drive.KLF");
    EXPECT_DOUBLE_EQ(replay.options.replay.speed, 2.5);
    EXPECT_FALSE(replay.options.travelPilot.enabled);
    EXPECT_DOUBLE_EQ(parseOptions({"--replay", "d.KLF"}).options.replay.speed, 1.0);
    EXPECT_DOUBLE_EQ(parseOptions({"--replay", "d.KLF", "--speed", "max"}).options.replay.speed,
                     0.0);
    EXPECT_DOUBLE_EQ(parseOptions({"--replay", "d.KLF", "--speed", "0"}).options.replay.speed, 0.0);
    EXPECT_DOUBLE_EQ(parseOptions({"--replay", "d.KLF", "--speed", "1000"}).options.replay.speed,
                     1000.0);

    const ParsedOptions both =
        parseOptions({"--travelpilot", "--tp-link", "/tmp/tp", "--tp-silent-after", "6",
                      "--tp-resume-after=4.5", "--no-gps", "--mode", "single"});
    ASSERT_EQ(both.error, "");
    const TravelPilotSettings& tp = both.options.travelPilot;
    EXPECT_TRUE(tp.enabled);
    EXPECT_FALSE(tp.alone);
    EXPECT_EQ(tp.linkPath, "/tmp/tp");
    EXPECT_EQ(tp.silence.silentAfterSeconds, 6.0);
    EXPECT_EQ(tp.silence.resumeAfterSeconds, 4.5);
    EXPECT_FALSE(both.options.instrument.gps);

    const ParsedOptions alone =
        parseOptions({"--travelpilot-only", "--origin", "48.2,16.37", "--seconds", "5"});
    ASSERT_EQ(alone.error, "");
    EXPECT_TRUE(alone.options.travelPilot.enabled);
    EXPECT_TRUE(alone.options.travelPilot.alone);
    EXPECT_FALSE(alone.options.travelPilot.silence.silentAfterSeconds);
    EXPECT_DOUBLE_EQ(alone.options.instrument.townCentre.latitudeDeg, 48.2);
}

TEST(SimOptions, RefusesOptionsThatMakeNoSenseTogether)
{
    const struct
    {
        std::vector<std::string> args;
        const char* error;
    } cases[] = {
        {{"--speed", "2"}, "--speed needs --replay"},
        {{"--replay", "d.KLF", "--mode", "table"},
         "--mode cannot be used with --replay: the log decides what is sent"},
        {{"--replay", "d.KLF", "--rate", "5"},
         "--rate cannot be used with --replay: the log decides what is sent"},
        {{"--no-gps", "--replay", "d.KLF"},
         "--no-gps cannot be used with --replay: the log decides what is sent"},
        {{"--replay", "d.KLF", "--origin", "1,2"},
         "--origin cannot be used with --replay: the log decides what is sent"},
        {{"--replay", "d.KLF", "--marker-every", "2"},
         "--marker-every cannot be used with --replay: the log decides what is sent"},
        {{"--replay", "d.KLF", "--info-every", "2"},
         "--info-every cannot be used with --replay: the log decides what is sent"},
        {{"--replay", "d.KLF", "--travelpilot"},
         "--travelpilot cannot be used with --replay: the TravelPilot drives the simulated "
         "route, not the log's"},
        {{"--travelpilot-only", "--replay", "d.KLF"},
         "--travelpilot-only cannot be used with --replay: the TravelPilot drives the simulated "
         "route, not the log's"},
        {{"--tp-link", "/tmp/tp"}, "--tp-link needs --travelpilot or --travelpilot-only"},
        {{"--tp-silent-after", "3"}, "--tp-silent-after needs --travelpilot or --travelpilot-only"},
        {{"--travelpilot", "--tp-resume-after", "3"}, "--tp-resume-after needs --tp-silent-after"},
        {{"--travelpilot-only", "--rate", "5"},
         "--rate cannot be used with --travelpilot-only: there is no instrument"},
        {{"--travelpilot-only", "--link", "/tmp/zs"},
         "--link cannot be used with --travelpilot-only: there is no instrument"},
        {{"--travelpilot-only", "--record", "r.bin"},
         "--record cannot be used with --travelpilot-only: there is no instrument"},
        {{"--travelpilot-only", "--serial", "A"},
         "--serial cannot be used with --travelpilot-only: there is no instrument"},
        {{"--travelpilot-only", "--seed", "1"},
         "--seed cannot be used with --travelpilot-only: there is no instrument"},
        {{"--travelpilot-only", "--faults", "garbage"},
         "--faults cannot be used with --travelpilot-only: there is no instrument"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(parseOptions(c.args).error, c.error) << c.args[0] << " " << c.args[1];
}

TEST(SimOptions, HelpDescribesEveryOption)
{
    const std::string help = usageText();
    for (const char* option : {"--mode",
                               "--rate",
                               "--seconds",
                               "--link",
                               "--serial",
                               "--no-gps",
                               "--origin",
                               "--marker-every",
                               "--info-every",
                               "--record",
                               "--faults",
                               "--fault-rate",
                               "--seed",
                               "--help",
                               "ZENTOR_COM1=",
                               "ZENTOR_FAKE_FTD2XX_PORT=",
                               "--replay",
                               "--speed",
                               "--travelpilot",
                               "--travelpilot-only",
                               "--tp-link",
                               "--tp-silent-after",
                               "--tp-resume-after",
                               "ZENTOR_COM2=",
                               "\"TravelPilot COM2:\"",
                               "05 0A F5 04 01",
                               "Not Responding!!!",
                               "millionths"})
        EXPECT_NE(help.find(option), std::string::npos) << option;
}

} // namespace
} // namespace zentor::sim
