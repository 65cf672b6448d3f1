// Runs every committed input of each fuzz target through the same function its libFuzzer program
// calls: the seed corpus (corpus/<target>/) and the inputs that once made a fuzzer crash
// (regressions/<target>/). A target without inputs in a folder is skipped. Under the asan and
// tsan presets the sanitizers watch these runs as they watch the fuzzers.
#include "FuzzTargets.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <ostream>
#include <string>
#include <vector>

namespace zentor::fuzz {
namespace {

namespace fs = std::filesystem;

struct FuzzTarget
{
    const char* name; // the folder of its inputs, and the fuzz program's name after "fuzz_"
    void (*run)(const std::uint8_t* data, std::size_t size);
    const char* corpus = nullptr; // the seed folder of another target whose inputs it shares
};

// Names the target in the test's output instead of its bytes.
void PrintTo(const FuzzTarget& target, std::ostream* out)
{
    *out << target.name;
}

const FuzzTarget kTargets[] = {
    {"frame_stream", fuzzFrameStream},
    {"gps_record", fuzzGpsRecord},
    {"travelpilot_response", fuzzTravelPilotResponse},
    {"klf_dump", fuzzKlfDump},
    {"klf_export", fuzzKlfExport, "klf_dump"}, // both read log files
};

// The files of `folder`, in name order; none when the folder does not exist.
std::vector<fs::path> inputsIn(const fs::path& folder)
{
    std::vector<fs::path> files;
    std::error_code error;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder, error)) {
        if (entry.is_regular_file())
            files.push_back(entry.path());
    }
    std::sort(files.begin(), files.end());
    return files;
}

bool readInput(const fs::path& path, std::vector<std::uint8_t>& bytes)
{
    std::ifstream in(path, std::ios::binary);
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

class FuzzRegression : public ::testing::TestWithParam<FuzzTarget>
{
protected:
    // Runs each input of the target's folder under `kind`; the count of inputs run.
    std::size_t runAll(const char* kind)
    {
        const FuzzTarget& target = GetParam();
        const bool shared = target.corpus != nullptr && std::string(kind) == "corpus";
        const fs::path folder =
            fs::path(ZENTOR_FUZZ_INPUTS) / kind / (shared ? target.corpus : target.name);
        std::size_t count = 0;
        for (const fs::path& file : inputsIn(folder)) {
            SCOPED_TRACE(file.string());
            std::vector<std::uint8_t> bytes;
            EXPECT_TRUE(readInput(file, bytes));
            target.run(bytes.data(), bytes.size());
            ++count;
        }
        return count;
    }
};

TEST_P(FuzzRegression, SeedCorpusRunsClean)
{
    if (runAll("corpus") == 0)
        GTEST_SKIP() << "no seed inputs for " << GetParam().name;
}

TEST_P(FuzzRegression, CrashInputsRunClean)
{
    if (runAll("regressions") == 0)
        GTEST_SKIP() << "no crash inputs for " << GetParam().name;
}

INSTANTIATE_TEST_SUITE_P(fuzz, FuzzRegression, ::testing::ValuesIn(kTargets),
                         [](const ::testing::TestParamInfo<FuzzTarget>& info) {
                             return std::string(info.param.name);
                         });

} // namespace
} // namespace zentor::fuzz
