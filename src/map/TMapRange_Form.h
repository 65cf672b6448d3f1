#pragma once

#include <QDialog>

class QLineEdit;
class QRadioButton;
class QShowEvent;

namespace zentor {

class MapSettings;

// The map range dialog, "Mapping Range Settings": the colour range of the map feed (edRSSIMin,
// edRSSIMax) and the receiver whose readings feed it (UseR1, UseR2). OK checks the range
// (readMapRange): a range it refuses is reported in a message box, the dialog stays open and the
// map settings, which the workers read, keep what they had; an accepted one is written into them
// with the receiver choice and the dialog closes. Escape and closing the dialog put the settings
// back into the boxes and change nothing. Created once at start; the main window's MapClick shows
// it without blocking (show()). A fixed dialog, centred on the screen when it is first shown.
// Window thread only.
class TMapRange_Form : public QDialog
{
    Q_OBJECT

public:
    // Shows what `settings` hold (the defaults, or what the command line chose); `settings` must
    // outlive the dialog.
    explicit TMapRange_Form(MapSettings& settings, QWidget* parent = nullptr);

    QLineEdit* edRSSIMin = nullptr;
    QLineEdit* edRSSIMax = nullptr;
    QRadioButton* UseR1 = nullptr;
    QRadioButton* UseR2 = nullptr;

public slots:
    void OKBtnClick();
    void reject() override; // Escape, and closing the dialog

protected:
    void showEvent(QShowEvent* event) override;

private:
    void showSettings();

    MapSettings& settings_;
    bool placed_ = false; // centred on the screen once; after that the user's place is kept
};

} // namespace zentor
