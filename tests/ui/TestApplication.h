#pragma once

// The QApplication of a widget test program, made on first use on the test's thread, which is
// then the window thread. Tests run on the offscreen platform (set by the test registration).
#include "support/WaitUntil.h"
#include "ui/FormLayout.h"

#include <QApplication>
#include <QCoreApplication>
#include <chrono>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

namespace zentor::test {

// Ends the QApplication when the tests have run, before the static destructors (among which a
// QApplication crashes on xcb).
class TestApplicationEnvironment final : public ::testing::Environment
{
public:
    explicit TestApplicationEnvironment(std::unique_ptr<QApplication>& app) : app_(app) {}
    void TearDown() override { app_.reset(); }

private:
    std::unique_ptr<QApplication>& app_;
};

inline QApplication& testApplication()
{
    static int argc = 1;
    static char name[] = "zentor-tests";
    static char* argv[] = {name, nullptr};
    static std::unique_ptr<QApplication> app;
    if (!app) {
        app = std::make_unique<QApplication>(argc, argv);
        QApplication::setFont(formFont());
        ::testing::AddGlobalTestEnvironment(new TestApplicationEnvironment(app));
    }
    return *app;
}

// Processes window events until `done` holds or the deadline passes; returns `done()`.
inline bool processEventsUntil(const std::function<bool()>& done,
                               std::chrono::milliseconds deadline = std::chrono::seconds(5))
{
    return done() || waitUntil(
                         [&] {
                             QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
                             return done();
                         },
                         deadline);
}

} // namespace zentor::test
