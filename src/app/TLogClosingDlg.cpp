#include "app/TLogClosingDlg.h"

#include "ui/FormLayout.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace zentor {

namespace {

constexpr int kTextWidth = 420;

} // namespace

TLogClosingDlg::TLogClosingDlg(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("LogClosingDlg"));
    setWindowTitle(QStringLiteral("Closing the Log File"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setFont(formFont());

    lblBacklog = makeLabel(this, "lblBacklog", QString());
    lblBacklog->setWordWrap(true);
    lblBacklog->setFixedWidth(kTextWidth);
    QLabel* note = makeLabel(
        this, "lblNote",
        QStringLiteral("The data logger ends once the log file is on the disk. Quitting without "
                       "waiting loses what is not written yet."));
    note->setWordWrap(true);
    note->setFixedWidth(kTextWidth);
    auto* quit = new QPushButton(QStringLiteral("Quit Without Waiting"), this);
    quit->setObjectName(QStringLiteral("btnQuitWithoutWaiting"));
    connect(quit, &QPushButton::clicked, this, [this] { givenUp_ = true; });

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(quit);
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(16, 14, 16, 12);
    column->setSpacing(12);
    column->addWidget(lblBacklog);
    column->addWidget(note);
    column->addLayout(buttons);
}

void TLogClosingDlg::showBacklog(const QString& text)
{
    lblBacklog->setText(text);
    if (!isVisible()) {
        adjustSize();
        show();
    }
}

} // namespace zentor
