#include "ui/QtWindowThread.h"

#include <QCoreApplication>
#include <QEvent>
#include <QThread>

namespace zentor {

QtWindowThread::QtWindowThread(QObject* parent) : QObject(parent) {}

bool QtWindowThread::invoke(const std::function<void()>& work)
{
    if (shuttingDown_.load())
        return false;
    if (QThread::currentThread() == thread()) {
        work();
        return true;
    }
    bool ran = false;
    QMetaObject::invokeMethod(
        this,
        [this, &work, &ran] {
            if (shuttingDown_.load())
                return;
            work();
            ran = true;
        },
        Qt::BlockingQueuedConnection);
    return ran;
}

void QtWindowThread::post(std::function<void()> work)
{
    QMetaObject::invokeMethod(
        this,
        [this, work = std::move(work)] {
            if (!shuttingDown_.load())
                work();
        },
        Qt::QueuedConnection);
}

void QtWindowThread::serveQueuedCalls()
{
    QCoreApplication::sendPostedEvents(this, QEvent::MetaCall);
}

} // namespace zentor
