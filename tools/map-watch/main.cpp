// map-watch: prints what the mapping application receives from the data logger's map feed,
// each time the feed announces a new block.
#include "MapWatch.h"

#include <cstdio>
#include <string>

namespace {

using zentor::MapFeedNames;

constexpr int kExitShown = 0;
constexpr int kExitNoBlock = 1;
constexpr int kExitBadArguments = 2;

const char* const kUsage =
    "usage: map-watch [--once] [--block NAME] [--mutex NAME] [--message NAME]\n"
    "\n"
    "Prints the position, RSSI reading, colour range and serial number that the data logger\n"
    "publishes for the mapping application, one line per update:\n"
    "  lat 48.137000 lon 11.575000 rssi -73 dBm range -110..-40 dBm sn ZN000042\n"
#ifdef _WIN32
    "It reads the shared memory block QXVTAVRINE while holding the mutex DATAMUTEX, on each\n"
    "QXV_MAP_UPDATE window message that the data logger broadcasts.\n"
#else
    "It reads the shared memory block /QXVTAVRINE while holding the mutex in /DATAMUTEX, on\n"
    "each QXV_MAP_UPDATE signal on the session bus (path /org/zentor/MapFeed, interface\n"
    "org.zentor.MapFeed), or once a second when there is no session bus.\n"
#endif
    "\n"
    "  --once          print the block once and end\n"
    "  --block NAME    the block's name (default QXVTAVRINE)\n"
    "  --mutex NAME    the mutex object's name (default DATAMUTEX)\n"
    "  --message NAME  the signal's name (default QXV_MAP_UPDATE)\n"
    "  --help          this text\n"
    "\n"
    "Exit status (--once): 0 the block was printed, 1 there is no block yet, 2 bad arguments.\n";

struct Options
{
    MapFeedNames names;
    bool once = false;
    bool help = false;
};

// False, with a message on standard error, for arguments it does not know.
bool parseOptions(int argc, char** argv, Options& options)
{
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        std::string* value = arg == "--block"     ? &options.names.block
                             : arg == "--mutex"   ? &options.names.mutex
                             : arg == "--message" ? &options.names.message
                                                  : nullptr;
        if (value != nullptr) {
            if (++i == argc) {
                std::fprintf(stderr, "map-watch: %s needs a name\n", arg.c_str());
                return false;
            }
            *value = argv[i];
        } else if (arg == "--once") {
            options.once = true;
        } else if (arg == "--help") {
            options.help = true;
        } else {
            std::fprintf(stderr, "map-watch: unknown argument %s\n", arg.c_str());
            return false;
        }
    }
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    Options options;
    if (!parseOptions(argc, argv, options)) {
        std::fputs(kUsage, stderr);
        return kExitBadArguments;
    }
    if (options.help) {
        std::fputs(kUsage, stdout);
        return kExitShown;
    }
    if (options.once)
        return zentor::printMapBlock(options.names) ? kExitShown : kExitNoBlock;

    return zentor::watchMapFeed(argc, argv, options.names);
}
