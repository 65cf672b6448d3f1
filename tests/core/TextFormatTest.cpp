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

} // namespace
} // namespace zentor
