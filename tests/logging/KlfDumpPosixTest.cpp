// klf-dump run as a program on the reference log, on copies of it that are cut short or
// damaged, and on bytes that are no log at all.
#include "LogTestSupport.h"
#include "ReferenceSession.h"
#include "logging/TLog_Router.h"

#include <cstdio>
#include <gtest/gtest.h>
#include <sys/wait.h>

namespace zentor {
namespace {

using namespace logtest;

const std::string kDataDir = ZENTOR_TEST_DATA;
const std::string kReference = kDataDir + "/reference.KLF";

struct ToolRun
{
    int status = -1; // the exit status; -1 when the tool did not exit normally
    std::string out;
};

// Runs klf-dump in `dir` with `args` and returns its standard output (with standard error when
// asked) and exit status.
ToolRun klfDump(const std::string& dir, const std::string& args, bool withErrors = false)
{
    const std::string command = "cd '" + dir + "' && '" ZENTOR_KLF_DUMP "' " + args +
                                (withErrors ? " 2>&1" : " 2>/dev/null");
    ToolRun run;
    std::FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe)
        return run;
    char chunk[4096];
    std::size_t n;
    while ((n = std::fread(chunk, 1, sizeof chunk, pipe)) > 0)
        run.out.append(chunk, n);
    const int status = ::pclose(pipe);
    if (WIFEXITED(status))
        run.status = WEXITSTATUS(status);
    return run;
}

std::string readText(const std::string& path)
{
    const Bytes bytes = readFile(path);
    return std::string(bytes.begin(), bytes.end());
}

std::string lastLine(const std::string& text)
{
    const std::size_t end = text.find_last_not_of('\n');
    const std::size_t start = text.rfind('\n', end);
    return text.substr(start == std::string::npos ? 0 : start + 1, end - start);
}

TEST(ReferenceLog, IsWhatTheLogRouterWritesForTheReferenceSession)
{
    ScratchDir dir;
    const std::string name = dir.file("reference.KLF");
    {
        TLog_Router router(name, buildLogHeader(referenceHeaderInput()), nullptr);
        router.start();
        for (const Bytes& r : referenceRecords())
            router.handOver(r.data(), static_cast<std::uint16_t>(r.size()));
    }
    const Bytes written = readFile(name);
    const Bytes reference = readFile(kReference);
    if (written != reference) {
        writeFile(ZENTOR_TEST_OUTPUT "/reference.KLF.new", written);
        FAIL() << "the router's file differs from " << kReference << "; it was kept as "
               << ZENTOR_TEST_OUTPUT "/reference.KLF.new";
    }
}

TEST(KlfDump, PrintsTheReferenceLogAsRecorded)
{
    const ToolRun text = klfDump(kDataDir, "reference.KLF");
    EXPECT_EQ(text.status, 0);
    EXPECT_EQ(text.out, readText(kDataDir + "/reference.klf-dump.txt"));

    const ToolRun json = klfDump(kDataDir, "--json reference.KLF");
    EXPECT_EQ(json.status, 0);
    EXPECT_EQ(json.out, readText(kDataDir + "/reference.klf-dump.jsonl"));
}

// Offsets of the reference log's records: 63 header bytes, then the channel information
// (84 bytes, at 63), the identification (12 bytes, at 147), the configuration (29, at 159) ...
TEST(KlfDump, NamesTheRecordWhereACutShortCopyEnds)
{
    const Bytes reference = readFile(kReference);
    ASSERT_EQ(reference.size(), 608u);
    ScratchDir dir;
    struct Case
    {
        std::size_t keep;
        std::string verdict;
    };
    const Case cases[] = {
        {3, "verdict: truncated at byte 0 (lead-in)"},
        {6, "verdict: truncated at byte 6 (header)"},
        {30, "verdict: truncated at byte 23 (record)"},
        {63, "verdict: whole"}, // a header and nothing else
        {150, "verdict: truncated at byte 147 (record)"},
        {160, "verdict: truncated at byte 159 (length)"},
        {607, "verdict: truncated at byte 597 (record)"},
    };
    for (const Case& c : cases) {
        writeFile(dir.file("cut.KLF"),
                  Bytes(reference.begin(), reference.begin() + static_cast<long>(c.keep)));
        const ToolRun run = klfDump(dir.path(), "cut.KLF");
        EXPECT_EQ(lastLine(run.out), c.verdict) << "keeping " << c.keep << " bytes";
        EXPECT_EQ(run.status, c.verdict == "verdict: whole" ? 0 : 1) << "keeping " << c.keep;
    }
}

TEST(KlfDump, NamesTheFirstDamagedRecord)
{
    const Bytes reference = readFile(kReference);
    ScratchDir dir;
    const std::string name = dir.file("damaged.KLF");

    Bytes badChecksum = reference;
    badChecksum[159 + 5] ^= 0x40; // a data byte of the configuration packet
    writeFile(name, badChecksum);
    ToolRun run = klfDump(dir.path(), "damaged.KLF");
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(lastLine(run.out), "verdict: damaged at byte 159 (checksum)");
    EXPECT_NE(run.out.find("         159  0x01      27  bad"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("bad checksums                         1"), std::string::npos);
    // The walk goes on past a bad checksum: the last packet is still listed.
    EXPECT_NE(run.out.find("         597  0x04"), std::string::npos);

    Bytes badLength = reference;
    badLength[147] = 0xFF;
    badLength[148] = 0x7F; // L = 32767
    writeFile(name, badLength);
    run = klfDump(dir.path(), "--json damaged.KLF");
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(lastLine(run.out), "{\"record\":\"verdict\",\"verdict\":\"damaged\",\"header\":true,"
                                 "\"offset\":147,\"problem\":\"length over 2047\"}");

    Bytes badSignature = reference;
    badSignature[8] = 0x90;
    writeFile(name, badSignature);
    run = klfDump(dir.path(), "damaged.KLF");
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(lastLine(run.out), "verdict: damaged at byte 6 (signature record)");
}

TEST(KlfDump, NeverCrashesOnBytesThatAreNoLog)
{
    ScratchDir dir;
    const std::string name = dir.file("junk.KLF");
    std::uint32_t seed = 12345;
    for (int round = 0; round < 20; ++round) {
        Bytes junk(static_cast<std::size_t>(round * 97));
        for (auto& b : junk) {
            seed = seed * 1664525u + 1013904223u;
            b = static_cast<std::uint8_t>(seed >> 24);
        }
        if (round % 4 == 1 && junk.size() > 6)
            std::fill(junk.begin(), junk.begin() + 6, 0); // a lead-in, then junk
        writeFile(name, junk);
        const ToolRun text = klfDump(dir.path(), "junk.KLF");
        const ToolRun json = klfDump(dir.path(), "--json junk.KLF");
        EXPECT_TRUE(text.status == 0 || text.status == 1) << "round " << round;
        EXPECT_EQ(json.status, text.status) << "round " << round;
    }
}

TEST(KlfDump, SaysHowItIsUsed)
{
    ScratchDir dir;
    const ToolRun help = klfDump(dir.path(), "--help");
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(help.out.rfind("usage: klf-dump [--json] FILE.KLF\n", 0), 0u);

    EXPECT_EQ(klfDump(dir.path(), "").status, 2);
    EXPECT_EQ(klfDump(dir.path(), "--frobnicate x.KLF").status, 2);
    EXPECT_EQ(klfDump(dir.path(), "a.KLF b.KLF").status, 2);
    const ToolRun missing = klfDump(dir.path(), "missing.KLF", true);
    EXPECT_EQ(missing.status, 2);
    EXPECT_EQ(missing.out, "klf-dump: cannot read missing.KLF: No such file or directory\n");

    const ToolRun folder = klfDump(dir.path(), ".", true);
    EXPECT_EQ(folder.status, 2);
    EXPECT_EQ(folder.out, "klf-dump: cannot read .: Is a directory\n");

    writeFile(dir.file("empty.KLF"), {});
    const ToolRun empty = klfDump(dir.path(), "empty.KLF");
    EXPECT_EQ(empty.status, 1);
    EXPECT_EQ(lastLine(empty.out), "verdict: truncated at byte 0 (empty file)");
}

} // namespace
} // namespace zentor
