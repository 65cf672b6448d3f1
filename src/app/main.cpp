#include "app/ProcessWide.h"
#include "app/ProgramWindows.h"
#include "ui/FormLayout.h"
#include "ui/Glyphs.h"

#include <QApplication>
#include <QMessageBox>
#include <cstdio>
#include <cstdlib>
#include <exception>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("QXV Zentor DL"));
    QApplication::setWindowIcon(zentor::programIcon());
    QApplication::setFont(zentor::formFont());
    // The main window ends the program when it closes, whatever other window is open.
    QApplication::setQuitOnLastWindowClosed(false);
    try {
        zentor::ProgramWindows windows(zentor::receiverLink(), zentor::selections(),
                                       zentor::workers());
        QApplication::exec();
        if (!windows.endWorkers()) {
            // A worker still runs and uses the objects that destructors would take away.
            std::fflush(nullptr);
            std::_Exit(EXIT_SUCCESS);
        }
    } catch (const std::exception& e) {
        QMessageBox::critical(nullptr, QApplication::applicationName(),
                              QString::fromLocal8Bit(e.what()));
    }
    return 0;
}
