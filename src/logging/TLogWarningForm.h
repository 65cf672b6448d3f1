#pragma once

#include <QDialog>
#include <functional>

namespace zentor {

// The log file warning: tells the user how to get the scan channel information into a new log
// file. Its OK (Button1) runs `resetScanInformation`, which makes the receiver protocol forget the
// captured channel information, so that the next one the instrument sends is the one that goes
// into the file. Created once at
// start, shown when log mode is switched on without channel information. Window thread only.
class TLogWarningForm : public QDialog
{
    Q_OBJECT

public:
    explicit TLogWarningForm(std::function<void()> resetScanInformation, QWidget* parent = nullptr);

public slots:
    void Button1Click();

private:
    const std::function<void()> resetScanInformation_;
};

} // namespace zentor
