#include "app/TAboutDlg.h"

#include "ui/FormLayout.h"
#include "ui/Glyphs.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace zentor {

namespace {

constexpr int kIconSize = 48;

} // namespace

TAboutDlg::TAboutDlg(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("AboutDlg"));
    setWindowTitle(QStringLiteral("About"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    setFont(formFont());

    QLabel* icon = makeLabel(this, "ProgramIcon", QString());
    icon->setPixmap(programIcon().pixmap(kIconSize, kIconSize));
    QLabel* version = makeLabel(this, "Version", QStringLiteral("Version 5.02"));
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("OKButton"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    auto* top = new QHBoxLayout;
    top->setSpacing(16);
    top->addWidget(icon);
    top->addWidget(version, 1);
    auto* bottom = new QHBoxLayout;
    bottom->addStretch(1);
    bottom->addWidget(ok);
    bottom->addStretch(1);
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(16, 16, 16, 12);
    column->setSpacing(14);
    column->addLayout(top);
    column->addLayout(bottom);
    setFixedSize(sizeHint());
}

} // namespace zentor
