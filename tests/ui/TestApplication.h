#pragma once

// The QApplication of a widget test program, made on first use on the test's thread, which is
// then the window thread. Tests run on the offscreen platform (set by the test registration).
#include "ui/FormLayout.h"

#include <QApplication>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <chrono>
#include <functional>

namespace zentor::test {

inline QApplication& testApplication()
{
    static int argc = 1;
    static char name[] = "zentor-tests";
    static char* argv[] = {name, nullptr};
    static QApplication app(argc, argv);
    static const bool fontSet = [] {
        QApplication::setFont(formFont());
        return true;
    }();
    (void)fontSet;
    return app;
}

// Processes window events until `done` holds or the deadline passes; returns `done()`.
inline bool processEventsUntil(const std::function<bool()>& done,
                               std::chrono::milliseconds deadline = std::chrono::seconds(5))
{
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > deadline.count())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return true;
}

} // namespace zentor::test
