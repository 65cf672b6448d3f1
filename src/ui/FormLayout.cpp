#include "ui/FormLayout.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>

namespace zentor {

namespace {

constexpr int kFormPointSize = 9;

} // namespace

QFont formFont()
{
    return QFont(QStringLiteral("Arial"), kFormPointSize);
}

QLineEdit* makeDisplayField(QWidget* parent, const char* name, const QString& text)
{
    auto* field = new QLineEdit(text, parent);
    field->setObjectName(QString::fromLatin1(name));
    field->setReadOnly(true);
    // A display field is not a place to type into, so it takes no keyboard focus.
    field->setFocusPolicy(Qt::NoFocus);
    return field;
}

QLabel* makeLabel(QWidget* parent, const char* name, const QString& text)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    return label;
}

QGroupBox* makeGroup(QWidget* parent, const char* name, const QString& title)
{
    auto* group = new QGroupBox(title, parent);
    group->setObjectName(QString::fromLatin1(name));
    return group;
}

QToolButton* makeSpeedButton(QWidget* parent, const char* name, const QString& hint, bool checkable)
{
    auto* button = new QToolButton(parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setToolTip(hint);
    button->setCheckable(checkable);
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::NoFocus);
    return button;
}

} // namespace zentor
