// klf-dump: prints what a .KLF log file holds, record by record, and whether it is whole.
#include "LogDump.h"
#include "logging/ReadWholeFile.h"

#include <cstdio>
#include <string>
#include <vector>

namespace {

using zentor::KlfVerdict;

// Exit status.
constexpr int kExitWhole = 0;
constexpr int kExitNotWhole = 1; // truncated or damaged
constexpr int kExitTrouble = 2;  // bad arguments, or the file could not be read

const char* const kUsage =
    "usage: klf-dump [--json] FILE.KLF\n"
    "\n"
    "Prints the records of a data logger log file: the header records decoded (signature,\n"
    "serial number, receivers, scan channel information), one line per packet (offset, type,\n"
    "length, checksum state, a short summary), the number of packets of each type, and a\n"
    "verdict: whole, or truncated or damaged at byte N.\n"
    "\n"
    "  --json    one JSON object per line instead; each has a \"record\" member:\n"
    "            file, lead-in, signature, serial-number, receivers, channel-information,\n"
    "            packet, counts, verdict\n"
    "  --help    this text\n"
    "\n"
    "Exit status: 0 the file is whole, 1 it is truncated or damaged, 2 bad arguments or the\n"
    "file could not be read.\n";

} // namespace

int main(int argc, char* argv[])
{
    bool json = false;
    std::string path;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            std::fputs(kUsage, stdout);
            return kExitWhole;
        }
        if (arg == "--json") {
            json = true;
        } else if (arg.size() > 1 && arg[0] == '-') {
            std::fprintf(stderr, "klf-dump: unknown option %s\n%s", arg.c_str(), kUsage);
            return kExitTrouble;
        } else if (path.empty()) {
            path = arg;
        } else {
            std::fprintf(stderr, "klf-dump: one file only\n%s", kUsage);
            return kExitTrouble;
        }
    }
    if (path.empty()) {
        std::fputs(kUsage, stderr);
        return kExitTrouble;
    }

    std::vector<std::uint8_t> bytes;
    std::string error;
    if (!zentor::readWholeFile(path, bytes, error)) {
        std::fprintf(stderr, "klf-dump: cannot read %s: %s\n", path.c_str(), error.c_str());
        return kExitTrouble;
    }

    const auto out =
        json ? zentor::klfdump::makeJsonOutput(stdout) : zentor::klfdump::makeTextOutput(stdout);
    const KlfVerdict verdict = zentor::klfdump::dumpLog(path, bytes.data(), bytes.size(), *out);
    return verdict == KlfVerdict::Whole ? kExitWhole : kExitNotWhole;
}
