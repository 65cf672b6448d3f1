#include "core/TextFormat.h"

#include <gtest/gtest.h>

namespace zentor {
namespace {

TEST(TextFormat, FormsPrintfStyleTexts)
{
    EXPECT_EQ(formatText("%02d/%02d/%04d", 3, 7, 2007), "03/07/2007");
    EXPECT_EQ(formatText("%.5f MHz", 446.00625), "446.00625 MHz");
    EXPECT_EQ(formatText("%ld kB", 12L), "12 kB");
    EXPECT_EQ(formatText("%s", ""), "");
}

TEST(TextFormat, TextsLongerThanTheFirstBufferAreWhole)
{
    const std::string part(300, 'x');
    const std::string text = formatText("[%s|%d]", part.c_str(), 42);
    EXPECT_EQ(text, "[" + part + "|42]");
}

TEST(TextFormat, LongRunsGetInvisibleBreaksShortOnesStayAsTheyAre)
{
    const std::string zw = "\xE2\x80\x8B";
    EXPECT_EQ(wrappableText("Could not open \"/data/run/drive.KLF\" (No such file)."),
              "Could not open \"/data/run/drive.KLF\" (No such file).");
    const std::string longPath = "/media/usb-stick/zentor-logs/2026-12-10/drive-20261210.KLF";
    EXPECT_EQ(wrappableText("open " + longPath + " now"),
              "open /" + zw + "media/" + zw + "usb-stick/" + zw + "zentor-logs/" + zw +
                  "2026-12-10/" + zw + "drive-20261210.KLF now");
    // 41 characters without a separator: a break after the 40th; "ä" is one character.
    std::string umlauts;
    for (int i = 0; i < 41; ++i)
        umlauts += "\xC3\xA4";
    EXPECT_EQ(wrappableText(umlauts), umlauts.substr(0, 80) + zw + umlauts.substr(80));
    EXPECT_EQ(wrappableText(std::string(40, 'a')), std::string(40, 'a'));
    EXPECT_EQ(wrappableText(""), "");
}

} // namespace
} // namespace zentor
