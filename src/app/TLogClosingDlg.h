#pragma once

#include <QDialog>

class QLabel;

namespace zentor {

// What the end of the program waits for when the disk is slow: the log files still being
// written, with the kilobytes each still has to go, and "Quit Without Waiting" for a disk that
// will not take them (what is not written then is lost). Shown by the end of the program only
// while it waits; the window thread keeps serving it. Window thread only.
class TLogClosingDlg : public QDialog
{
    Q_OBJECT

public:
    explicit TLogClosingDlg(QWidget* parent = nullptr);

    // Shows `text` (StatusTexts' logBacklogText) and brings the dialog up.
    void showBacklog(const QString& text);
    // True once the user has pressed "Quit Without Waiting".
    bool givenUp() const { return givenUp_; }

private:
    QLabel* lblBacklog = nullptr;
    bool givenUp_ = false;
};

} // namespace zentor
