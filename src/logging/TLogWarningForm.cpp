#include "logging/TLogWarningForm.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace zentor {

namespace {

constexpr int kWidth = 522;
constexpr int kHeight = 440;
constexpr int kMargin = 16;
constexpr int kSpacing = 14;
// The room the texts leave is shared out: a share between two texts, two between the
// explanation and the steps and above the button.
constexpr int kGapShare = 1;
constexpr int kSectionGapShares = 2;
constexpr int kWarningPadding = 10;
constexpr int kFontPoints = 10;
constexpr int kWarningFontPoints = 11;
constexpr int kButtonWidth = 90;

const char* const kCaption = "ZENTOR LOG FILE WARNING";
const char* const kWarningText =
    "WARNING!!! FAILURE TO PERFORM THE FOLLOWING STEPS CORRECTLY WILL RESULT IN SCAN CHANNEL "
    "INFORMATION NOT BEING PLACED IN THE LOG FILE. IF THIS HAPPENS, THE LOG FILE WILL NOT BE "
    "CONVERTED BY OLVESTRA.";
const char* const kExplanationText =
    "Scan channel information is sent from the Zentor when the measurement mode "
    "(single,list,table) is started from the Zentor. If a log file has not been started by the "
    "user on the data logger, this information will not be recorded. ";
const char* const kStepTexts[] = {
    "STEP 1: GO TO THE MAIN MENU ON THE ZENTOR (PRESS THE ESC KEY 3 TIMES).",
    "STEP 2 (READ STEP 3 BEFORE COMPLETING STEP 2): PRESS THE OK BUTTON BELOW.",
    "STEP 3: START THE MEASUREMENT ON THE ZENTOR.",
};

QLabel* addLabel(QWidget* parent, QVBoxLayout* layout, const char* name, const char* text,
                 bool bold, Qt::Alignment alignment)
{
    auto* label = new QLabel(QString::fromLatin1(text), parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    label->setAlignment(alignment | Qt::AlignVCenter);
    // As tall as the wrapped text: the room left over goes between the texts.
    label->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    QFont font = label->font();
    font.setBold(bold);
    label->setFont(font);
    layout->addWidget(label);
    return label;
}

} // namespace

TLogWarningForm::TLogWarningForm(std::function<void()> resetScanInformation, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint),
      resetScanInformation_(std::move(resetScanInformation))
{
    setObjectName(QStringLiteral("LogWarningForm"));
    setWindowTitle(QString::fromLatin1(kCaption));
    QFont font(QStringLiteral("Arial"));
    font.setPointSize(kFontPoints);
    setFont(font);
    setFixedSize(kWidth, kHeight);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(kMargin, kMargin, kMargin, kMargin);
    layout->setSpacing(kSpacing);

    QLabel* warning = addLabel(this, layout, "Label1", kWarningText, true, Qt::AlignHCenter);
    warning->setAutoFillBackground(true);
    QPalette colours = warning->palette();
    colours.setColor(QPalette::Window, Qt::black);
    colours.setColor(QPalette::WindowText, Qt::red);
    warning->setPalette(colours);
    warning->setMargin(kWarningPadding);
    QFont warningFont = warning->font();
    warningFont.setPointSize(kWarningFontPoints);
    warning->setFont(warningFont);

    layout->addStretch(kGapShare);
    addLabel(this, layout, "Label2", kExplanationText, false, Qt::AlignHCenter);
    layout->addStretch(kSectionGapShares);
    const char* const stepNames[] = {"Label3", "Label4", "Label5"};
    for (int i = 0; i < 3; ++i) {
        addLabel(this, layout, stepNames[i], kStepTexts[i], true, Qt::AlignLeft);
        layout->addStretch(i < 2 ? kGapShare : kSectionGapShares);
    }

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("Button1"));
    ok->setDefault(true);
    ok->setMinimumWidth(kButtonWidth);
    layout->addWidget(ok, 0, Qt::AlignHCenter);
    connect(ok, &QPushButton::clicked, this, &TLogWarningForm::Button1Click);
}

void TLogWarningForm::Button1Click()
{
    if (resetScanInformation_)
        resetScanInformation_();
    accept();
}

} // namespace zentor
