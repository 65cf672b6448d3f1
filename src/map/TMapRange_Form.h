#pragma once

#include <QDialog>

class QLineEdit;
class QRadioButton;
class QShowEvent;

namespace zentor {

class MapSettings;

// The map range dialog, "Mapping Range Settings": the colour range of the map feed (edRSSIMin,
// edRSSIMax) and the receiver whose readings feed it (UseR1, UseR2). Every change of a text or
// of the choice is written at once into the map settings, which the workers read; OK only
// closes the dialog. Created once at start; the main window's MapClick shows it without
// blocking (show()). A fixed dialog, centred on the screen when it is first shown.
// Window thread only.
class TMapRange_Form : public QDialog
{
    Q_OBJECT

public:
    // Writes the initial texts and choice into `settings`, which must outlive the dialog.
    explicit TMapRange_Form(MapSettings& settings, QWidget* parent = nullptr);

    QLineEdit* edRSSIMin = nullptr;
    QLineEdit* edRSSIMax = nullptr;
    QRadioButton* UseR1 = nullptr;
    QRadioButton* UseR2 = nullptr;

public slots:
    void OKBtnClick();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void edRSSIMinChange();
    void edRSSIMaxChange();
    void UseRClick();

    MapSettings& settings_;
    bool placed_ = false; // centred on the screen once; after that the user's place is kept
};

} // namespace zentor
