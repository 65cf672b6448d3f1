#include "map/TMapRange_Form.h"

#include "map/MapSettings.h"
#include "ui/FormLayout.h"
#include "ui/MessageBoxRoutine.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QShowEvent>
#include <QStyle>
#include <QVBoxLayout>

namespace zentor {

namespace {

constexpr int kWidth = 360;
constexpr int kMargin = 12;
constexpr int kSpacing = 10;
constexpr int kValueWidth = 70;
constexpr int kButtonWidth = 80;

const char* const kCaption = "Mapping Range Settings";
const char* const kHeading = "Range of Values for RSSI Data";
const char* const kNote =
    "These settings re used when the QXV Tavrine is running for real-time mapping capabilities. "
    "The data is sent from the Zentor to the Tavrine for plotting on a map.";

QLineEdit* makeValueBox(QWidget* parent, const char* name)
{
    auto* box = new QLineEdit(parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setFixedWidth(kValueWidth);
    box->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return box;
}

QRadioButton* makeChoice(QWidget* parent, const char* name, const char* text)
{
    auto* choice = new QRadioButton(QString::fromLatin1(text), parent);
    choice->setObjectName(QString::fromLatin1(name));
    return choice;
}

} // namespace

TMapRange_Form::TMapRange_Form(MapSettings& settings, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint), settings_(settings)
{
    setObjectName(QStringLiteral("MapRange_Form"));
    setWindowTitle(QString::fromLatin1(kCaption));
    setFont(formFont());

    QLabel* heading = makeLabel(this, "Label1", QString::fromLatin1(kHeading));
    QFont bold = heading->font();
    bold.setBold(true);
    heading->setFont(bold);

    edRSSIMin = makeValueBox(this, "edRSSIMin");
    edRSSIMax = makeValueBox(this, "edRSSIMax");
    auto* range = new QFormLayout;
    range->setContentsMargins(0, 0, 0, 0);
    range->setLabelAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    range->setFieldGrowthPolicy(QFormLayout::FieldsStayAtSizeHint);
    range->addRow(makeLabel(this, "Label2", QStringLiteral("Minimum Value for Color Range")),
                  edRSSIMin);
    range->addRow(makeLabel(this, "Label3", QStringLiteral("Maximum Value for Color Range")),
                  edRSSIMax);

    QGroupBox* source = makeGroup(this, "gbUseData", QStringLiteral("Use Data From:"));
    UseR1 = makeChoice(source, "UseR1", "Receiver #1");
    UseR2 = makeChoice(source, "UseR2", "Receiver #2");
    auto* choices = new QVBoxLayout(source);
    choices->addWidget(UseR1);
    choices->addWidget(UseR2);

    QLabel* note = makeLabel(this, "Label4", QString::fromLatin1(kNote));
    note->setWordWrap(true);

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("OKBtn"));
    ok->setDefault(true);
    ok->setFixedWidth(kButtonWidth);

    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(kMargin, kMargin, kMargin, kMargin);
    column->setSpacing(kSpacing);
    column->addWidget(heading);
    column->addLayout(range);
    column->addWidget(source);
    column->addWidget(note);
    column->addWidget(ok, 0, Qt::AlignHCenter);

    connect(ok, &QPushButton::clicked, this, &TMapRange_Form::OKBtnClick);
    showSettings();

    // The wrapped note decides the height at the dialog's fixed width.
    setFixedSize(kWidth, column->totalHeightForWidth(kWidth));
}

void TMapRange_Form::OKBtnClick()
{
    const MapRangeReading reading =
        readMapRange(edRSSIMin->text().toStdString(), edRSSIMax->text().toStdString());
    if (!reading.range) {
        showMessageBox(MessageKind::Error, reading.refusal);
        return;
    }
    settings_.setRange(*reading.range);
    settings_.setReceiver(UseR1->isChecked() ? 0 : 1);
    accept();
}

void TMapRange_Form::reject()
{
    showSettings();
    QDialog::reject();
}

void TMapRange_Form::showSettings()
{
    const MapRange range = settings_.range();
    edRSSIMin->setText(QString::number(range.minDbm));
    edRSSIMax->setText(QString::number(range.maxDbm));
    (settings_.receiver() == 0 ? UseR1 : UseR2)->setChecked(true);
}

void TMapRange_Form::showEvent(QShowEvent* event)
{
    if (!placed_) {
        placed_ = true;
        if (const QScreen* screen = QGuiApplication::primaryScreen())
            setGeometry(QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, size(),
                                            screen->availableGeometry()));
    }
    QDialog::showEvent(event);
}

} // namespace zentor
