// Linux: the data logger announces each new block with a signal on the session bus.
#include "MapWatch.h"
#include "map/MapUpdateSignal.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QObject>
#include <QTimer>
#include <cstdio>
#include <utility>

namespace zentor {

namespace {

constexpr int kPollIntervalMs = 1000;

// The bus delivers its signals to a slot.
class BlockPrinter : public QObject
{
    Q_OBJECT

public:
    explicit BlockPrinter(MapFeedNames names) : names_(std::move(names)) {}

public slots:
    void print() { printMapBlock(names_); }

private:
    const MapFeedNames names_;
};

} // namespace

int watchMapFeed(int argc, char** argv, const MapFeedNames& names)
{
    QCoreApplication app(argc, argv);
    BlockPrinter printer(names);
    QTimer poll;
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (bus.isConnected() &&
        bus.connect(QString(), QString::fromLatin1(kMapUpdatePath),
                    QString::fromLatin1(kMapUpdateInterface),
                    QString::fromStdString(names.message), &printer, SLOT(print()))) {
        std::fprintf(stderr, "map-watch: waiting for %s on the session bus\n",
                     names.message.c_str());
    } else {
        std::fprintf(stderr, "map-watch: no session bus, reading the block once a second\n");
        QObject::connect(&poll, &QTimer::timeout, &printer, &BlockPrinter::print);
        poll.start(kPollIntervalMs);
    }
    printer.print();
    return QCoreApplication::exec();
}

} // namespace zentor

#include "MapWatchBus.moc"
