#pragma once

#include <QFont>
#include <QString>

class QGroupBox;
class QLabel;
class QLineEdit;
class QToolButton;
class QWidget;

// Small helpers that build the controls of the program's forms the same way everywhere. Every
// control gets its object name, which is its control name (tests find controls by it).
namespace zentor {

// The text face of every form: "Arial", which resolves to Liberation Sans where Arial is not
// installed (the two are metric-compatible).
QFont formFont();

// A read-only edit box used as a display field.
QLineEdit* makeDisplayField(QWidget* parent, const char* name, const QString& text = {});

QLabel* makeLabel(QWidget* parent, const char* name, const QString& text);

QGroupBox* makeGroup(QWidget* parent, const char* name, const QString& title);

// A flat tool button with a hint, checkable when it is to stay down.
QToolButton* makeSpeedButton(QWidget* parent, const char* name, const QString& hint,
                             bool checkable);

} // namespace zentor
