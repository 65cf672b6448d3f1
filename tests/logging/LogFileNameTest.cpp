#include "logging/LogFileName.h"

#include <gtest/gtest.h>

namespace zentor {
namespace {

TEST(LogFileName, CutsAtTheLastDotAndAddsKlf)
{
    struct Case
    {
        const char* legend;
        std::string text;
        std::string name;
    };
    const Case cases[] = {
        {"the default text", "Zentor", "Zentor.KLF"},
        {"two dots keep all before the last", "C:\\Drive\\run.01.txt", "C:\\Drive\\run.01.KLF"},
        {"two dots in a POSIX folder", "/home/ann/run.01.txt", "/home/ann/run.01.KLF"},
        {"no dot at all", "/home/ann/drive", "/home/ann/drive.KLF"},
        {"a dot in the folder name only", "C:\\Logs.2007\\drive", "C:\\Logs.2007\\drive.KLF"},
        {"a dot in a POSIX folder only", "/data/run.d/zentor", "/data/run.d/zentor.KLF"},
        {"dots in folder and name", "/data/run.d/drive.1.txt", "/data/run.d/drive.1.KLF"},
        {"a relative folder", "./drive", "./drive.KLF"},
        {"the parent folder", "..\\logs\\drive.txt", "..\\logs\\drive.KLF"},
        {"a hidden name", "/home/ann/.drive", "/home/ann/.KLF"},
        {"an existing .KLF name", "drive.KLF", "drive.KLF"},
        {"a trailing dot", "drive.", "drive.KLF"},
        {"only a dot", ".", ".KLF"},
        {"empty text", "", ".KLF"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(logFileName(c.text), c.name) << c.legend;
}

TEST(LogFileName, ANameThatGivesNoFileIsRefusedWithItsReason)
{
    EXPECT_EQ(logFileNameRefusal(""), "No log file name is given.");
    const char* const folders[] = {"/data/run/", "C:\\Drive\\", "/"};
    for (const std::string text : folders)
        EXPECT_EQ(logFileNameRefusal(text), "The log file name \"" + text +
                                                "\" ends in a folder separator: a file name must "
                                                "follow it.");
    EXPECT_EQ(logFileNameRefusal("/home/ann/.drive"),
              "The log file name \"/home/ann/.drive\" has no name before its extension: it would "
              "log to a hidden \".KLF\".");
    EXPECT_NE(logFileNameRefusal("."), "");
    const char* const files[] = {"Zentor", "/data/run/d", "drive.", "a.b/c", "C:\\x\\y.txt"};
    for (const std::string text : files)
        EXPECT_EQ(logFileNameRefusal(text), "") << text;
}

TEST(LogFileName, KeepsAtMost511Characters)
{
    const std::string a511(511, 'a');
    EXPECT_EQ(logFileName(a511), a511 + ".KLF");
    EXPECT_EQ(logFileName(std::string(600, 'a')), a511 + ".KLF");
    // A dot past the 511th character is cut away before the last dot is looked for.
    EXPECT_EQ(logFileName(a511 + ".txt"), a511 + ".KLF");
    EXPECT_EQ(logFileName("x.y" + std::string(508, 'a') + ".txt"), "x.KLF");
    // The 511th character is a dot: it is the last one kept.
    EXPECT_EQ(logFileName(std::string(510, 'a') + ".txt"), std::string(510, 'a') + ".KLF");
}

TEST(LogFileName, CountsCharactersNotBytes)
{
    // "ä" is two bytes in UTF-8; 511 of them are all kept, and none is cut in half.
    std::string umlauts;
    for (int i = 0; i < 512; ++i)
        umlauts += "\xC3\xA4";
    const std::string name = logFileName(umlauts);
    EXPECT_EQ(name, umlauts.substr(0, 2 * 511) + ".KLF");
}

TEST(LogFileSize, ShowsWholeKilobytes)
{
    EXPECT_EQ(logFileSizeKb(-1), 0); // no such file
    EXPECT_EQ(logFileSizeKb(0), 0);
    EXPECT_EQ(logFileSizeKb(1023), 0);
    EXPECT_EQ(logFileSizeKb(1024), 1);
    EXPECT_EQ(logFileSizeKb(2047), 1);
    EXPECT_EQ(logFileSizeKb(2048), 2);
    EXPECT_EQ(logFileSizeKb(std::int64_t{1} << 50), 2147483647);
    EXPECT_EQ(logFileSizeText(0), "0 kB");
    EXPECT_EQ(logFileSizeText(1), "1 kB");
    EXPECT_EQ(logFileSizeText(123456), "123456 kB");
}

} // namespace
} // namespace zentor
