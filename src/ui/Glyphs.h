#pragma once

#include <QIcon>

// The pictures on the command bar's speed buttons and the program's icon, drawn in code so
// that they look the same on every machine.
namespace zentor {

enum class Glyph
{
    ReceiverScreen, // bars of two receivers
    GpsScreen,      // a globe
    SingleMode,     // one bar
    ScanMode,       // a list of bars
    TableMode,      // a dense row of bars
    TileHorizontal, // two panels side by side
    TileVertical,   // two panels one above the other
    LogData,        // a record dot
    LogFile,        // a folder
};

QIcon glyph(Glyph kind);

// The program's icon: signal bars on an instrument face.
QIcon programIcon();

} // namespace zentor
