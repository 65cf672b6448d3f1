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
         "--faults takes a comma-separated list of garbage, bitflip and truncate, not 'noise'"},
        {{"--faults", "garbage", "--fault-rate", "1.5"},
         "--fault-rate takes a probability from 0 to 1, not '1.5'"},
        {{"--fault-rate", "0.1"}, "--fault-rate has no effect without --faults"},
        {{"--origin", "52.0"},
         "--origin takes LAT,LON in degrees (latitude -89..89, longitude -180..180), not '52.0'"},
        {{"--seed", "4294967296"},
         "--seed takes a whole number from 0 to 4294967295, not "
         "'4294967296'"},
        {{"--verbose"}, "unknown option '--verbose'"},
        {{"extra"}, "unknown option 'extra'"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(parseOptions(c.args).error, c.error) << c.args[0];
}

TEST(SimOptions, HelpDescribesEveryOption)
{
    const std::string help = usageText();
    for (const char* option :
         {"--mode", "--rate", "--seconds", "--link", "--serial", "--no-gps", "--origin",
          "--marker-every", "--info-every", "--record", "--faults", "--fault-rate", "--seed",
          "--help", "ZENTOR_COM1=", "ZENTOR_FAKE_FTD2XX_PORT="})
        EXPECT_NE(help.find(option), std::string::npos) << option;
}

} // namespace
} // namespace zentor::sim
