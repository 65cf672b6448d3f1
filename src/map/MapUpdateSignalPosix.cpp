#include "map/MapUpdateSignal.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QString>
#include <optional>
#include <string>
#include <utility>

namespace zentor {

namespace {

// Any identifier but 0: the bus needs none, the member name is what listeners match.
constexpr unsigned kRecorded = 1;

// The window thread's side: the connection, looked up once.
struct BusSide
{
    std::function<QDBusConnection()> bus;
    bool lookedUp = false;
    std::optional<QDBusConnection> connection; // set when the bus was there

    void send(const QString& member)
    {
        if (!lookedUp) {
            lookedUp = true;
            QDBusConnection found = bus();
            if (found.isConnected())
                connection = found;
        }
        if (connection)
            connection->send(QDBusMessage::createSignal(QString::fromLatin1(kMapUpdatePath),
                                                        QString::fromLatin1(kMapUpdateInterface),
                                                        member));
    }
};

class BusMapAnnouncer final : public MapAnnouncer
{
public:
    BusMapAnnouncer(WindowThread& window, std::function<QDBusConnection()> bus)
        : window_(window), side_(std::make_shared<BusSide>())
    {
        side_->bus = std::move(bus);
    }

    unsigned registerMessage(const std::string& name) override
    {
        member_ = QString::fromStdString(name);
        return kRecorded;
    }

    void announce(unsigned) override
    {
        // The posted call shares the bus side, so it may run after the announcer is gone.
        window_.post([side = side_, member = member_] { side->send(member); });
    }

private:
    WindowThread& window_;
    const std::shared_ptr<BusSide> side_; // used on the window thread only
    QString member_;                      // the publishing thread's
};

} // namespace

std::unique_ptr<MapAnnouncer> busMapAnnouncer(WindowThread& window,
                                              std::function<QDBusConnection()> bus)
{
    return std::make_unique<BusMapAnnouncer>(window, std::move(bus));
}

std::unique_ptr<MapAnnouncer> programMapAnnouncer(WindowThread& window)
{
    return busMapAnnouncer(window, [] { return QDBusConnection::sessionBus(); });
}

} // namespace zentor
