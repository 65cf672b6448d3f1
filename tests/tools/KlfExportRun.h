#pragma once

// What the tests that run klf-export as a program share: running it (and other programs) with
// their output and exit status, reading its CSV, and writing a drive of any length to a file.
#include "logging/LogTestSupport.h"
#include "zentor-sim/GpsRecord.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <sys/wait.h>
#include <vector>

namespace zentor::test {

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
constexpr bool kSanitized = true;
#elif defined(__has_feature)
constexpr bool kSanitized = __has_feature(address_sanitizer) || __has_feature(thread_sanitizer);
#else
constexpr bool kSanitized = false;
#endif

struct ToolRun
{
    int status = -1;
    std::string out;
    std::string err;
};

// Runs a shell command line, its standard error kept apart.
inline ToolRun runCommand(const std::string& command)
{
    static const logtest::ScratchDir scratch;
    const std::string errors = scratch.file("err.txt");
    ToolRun run;
    std::FILE* pipe = ::popen((command + " 2>'" + errors + "'").c_str(), "r");
    char chunk[4096];
    for (std::size_t n; pipe && (n = std::fread(chunk, 1, sizeof chunk, pipe)) > 0;)
        run.out.append(chunk, n);
    const int status = pipe ? ::pclose(pipe) : -1;
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    const Bytes err = readFile(errors);
    run.err.assign(err.begin(), err.end());
    return run;
}

// Runs klf-export with `args`, after the shell commands `first` when given.
inline ToolRun klfExport(const std::string& args, const std::string& first = "")
{
    return runCommand(first + "'" ZENTOR_KLF_EXPORT "' " + args);
}

inline bool hasCommand(const std::string& name)
{
    return std::system(("command -v " + name + " >/dev/null 2>&1").c_str()) == 0;
}

// The rows of a CSV with CRLF line ends whose fields hold no comma or quote.
inline std::vector<std::vector<std::string>> csvRows(const std::string& text)
{
    std::vector<std::vector<std::string>> rows;
    for (std::size_t at = 0, end; (end = text.find("\r\n", at)) != std::string::npos;
         at = end + 2) {
        rows.emplace_back(1);
        for (char c : text.substr(at, end - at)) {
            if (c == ',')
                rows.back().emplace_back();
            else
                rows.back().back().push_back(c);
        }
    }
    return rows;
}

// A drive without a header, a second at a time from 14:00:00 on 12 March 2026 (up to 10 hours):
// a GPS record with a 3D fix a little further north each second, a clock packet, `lists` list
// packets of five entries (two of receiver 2), and `fillers` packets of 2045 data bytes of a type
// nothing decodes. `salt` changes every level, so that two drives differ in their bytes.
inline void writeDrive(const std::string& path, int seconds, int lists, int fillers, int salt = 0)
{
    std::ofstream out(path, std::ios::binary);
    const auto put = [&](const Bytes& record) {
        out.write(reinterpret_cast<const char*>(record.data()),
                  static_cast<std::streamsize>(record.size()));
    };
    const std::uint8_t level = static_cast<std::uint8_t>(0xC4 - salt);
    const Bytes list = packetRecord(0x07, {0, 0, level, 0, 1, std::uint8_t(level - 1), 0, 2,
                                           std::uint8_t(level - 2), 1, 3, std::uint8_t(level - 3),
                                           1, 4, std::uint8_t(level - 4)});
    const Bytes filler = logtest::numberedRecord(7, 2045);
    for (int second = 0; second < seconds; ++second) {
        sim::GpsFix fix;
        fix.utc = {2026, 3, 12, 14 + second / 3600, second / 60 % 60, second % 60};
        fix.unfiltered.latitudeMas = 187200000 + second * 100;
        fix.unfiltered.longitudeMas = 15840000;
        fix.receiverStatus1 = 7 << 5;
        const sim::GpsRecord r = sim::encodeGpsRecord(fix);
        put(packetRecord(0x00, Bytes(r.begin(), r.end())));
        put(packetRecord(0x04, {9, 5, 14, 12, 3, 26, 0}));
        for (int k = 0; k < lists; ++k)
            put(list);
        for (int k = 0; k < fillers; ++k)
            put(filler);
    }
}

} // namespace zentor::test
