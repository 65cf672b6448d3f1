#pragma once

#include "core/WindowThread.h"
#include "platform/MapPublisher.h"

#include <functional>
#include <memory>

class QDBusConnection;

// How the program announces a new map block. Windows: the registered window message broadcast
// to every top-level window (systemMapAnnouncer). Linux: a signal on the session bus, named
// like the message, sent from the window thread:
//
//   path       kMapUpdatePath
//   interface  kMapUpdateInterface
//   member     the message name, "QXV_MAP_UPDATE"
//   arguments  none
//
// Without a session bus nothing is announced, silently.
namespace zentor {

constexpr char kMapUpdatePath[] = "/org/zentor/MapFeed";
constexpr char kMapUpdateInterface[] = "org.zentor.MapFeed";

#ifdef _WIN32
// The program's announcer: the broadcast window message.
inline std::unique_ptr<MapAnnouncer> programMapAnnouncer(WindowThread&)
{
    return systemMapAnnouncer();
}
#else
// The program's announcer; the bus signal is sent through `window`, which must outlive it.
std::unique_ptr<MapAnnouncer> programMapAnnouncer(WindowThread& window);

// The bus announcer on the connection `bus` returns, which is asked once, on the window thread,
// before the first signal (the program's is QDBusConnection::sessionBus). Registering the
// message only records its name; each announcement posts one signal to the window thread and
// returns at once.
std::unique_ptr<MapAnnouncer> busMapAnnouncer(WindowThread& window,
                                              std::function<QDBusConnection()> bus);
#endif

} // namespace zentor
