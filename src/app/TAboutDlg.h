#pragma once

#include <QDialog>

namespace zentor {

// The About box: the program's icon and version, and OK, which closes it. Shown without
// blocking; it is hidden, not destroyed, when closed.
class TAboutDlg : public QDialog
{
    Q_OBJECT

public:
    explicit TAboutDlg(QWidget* parent = nullptr);
};

} // namespace zentor
