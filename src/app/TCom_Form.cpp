#include "app/TCom_Form.h"

#include "ui/FormLayout.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>

namespace zentor {

namespace {

constexpr int kReminderPixelSize = 19;
constexpr int kDialogWidth = 360;
constexpr int kTravelPilotPorts = 9;
constexpr int kChoiceWidth = 170;

QLabel* makeBoldLabel(QWidget* parent, const char* name, const QString& text)
{
    QLabel* label = makeLabel(parent, name, text);
    QFont bold = label->font();
    bold.setBold(true);
    label->setFont(bold);
    return label;
}

QComboBox* makeChoice(QWidget* parent, const char* name, const QStringList& items)
{
    auto* choice = new QComboBox(parent);
    choice->setObjectName(QString::fromLatin1(name));
    choice->addItems(items);
    choice->setFixedWidth(kChoiceWidth);
    return choice;
}

} // namespace

TCom_Form::TCom_Form(ProgramSession& session, QWidget& mainWindow)
    : session_(session), mainWindow_(mainWindow)
{
    setObjectName(QStringLiteral("Com_Form"));
    setWindowTitle(QStringLiteral("Select Communications Port"));
    // A fixed dialog border without border icons, above every other window.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowStaysOnTopHint);
    setFont(formFont());

    Label2 = makeBoldLabel(
        this, "Label2",
        QStringLiteral("REMEMBER TO HAVE ZENTOR IN MAIN MENU WHEN STARTING THIS APPLICATION!!!"));
    QFont reminder = Label2->font();
    reminder.setPixelSize(kReminderPixelSize);
    Label2->setFont(reminder);
    QPalette red = Label2->palette();
    red.setColor(QPalette::WindowText, Qt::red);
    Label2->setPalette(red);
    Label2->setWordWrap(true);
    Label2->setAlignment(Qt::AlignCenter);

    Label1 = makeBoldLabel(this, "Label1", QStringLiteral("CONNECT TO:"));
    PortChoice =
        makeChoice(this, "PortChoice",
                   {QStringLiteral("COM1:"), QStringLiteral("COM2:"), QStringLiteral("COM3:"),
                    QStringLiteral("COM4:"), QStringLiteral("USB")});
    Label3 = makeBoldLabel(this, "Label3", QStringLiteral("NAVIGATION:"));
    QStringList navigation{QStringLiteral("Zentor GPS")};
    for (int port = 1; port <= kTravelPilotPorts; ++port)
        navigation << QStringLiteral("TravelPilot COM%1:").arg(port);
    NavChoice = makeChoice(this, "NavChoice", navigation);

    OKBtn = new QPushButton(QStringLiteral("OK"), this);
    OKBtn->setObjectName(QStringLiteral("OKBtn"));
    OKBtn->setDefault(true);
    connect(OKBtn, &QPushButton::clicked, this, &TCom_Form::OKBtnClick);

    ComTimer = new QTimer(this);
    ComTimer->setObjectName(QStringLiteral("ComTimer"));

    auto* choices = new QGridLayout;
    choices->setHorizontalSpacing(12);
    choices->addWidget(Label1, 0, 0, Qt::AlignRight);
    choices->addWidget(PortChoice, 0, 1);
    choices->addWidget(Label3, 1, 0, Qt::AlignRight);
    choices->addWidget(NavChoice, 1, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(OKBtn);
    buttons->addStretch(1);
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(14, 12, 14, 12);
    column->setSpacing(12);
    column->addWidget(Label2);
    column->addLayout(choices);
    column->addLayout(buttons);

    FormCreate();

    setFixedWidth(kDialogWidth);
    // The reminder wraps, so the height follows from the width.
    setFixedHeight(layout()->totalHeightForWidth(kDialogWidth));
    if (const QScreen* screen = this->screen())
        move(screen->availableGeometry().center() - rect().center());
}

TCom_Form::~TCom_Form()
{
    session_.endOnDialogDestroy();
}

void TCom_Form::FormCreate()
{
    PortChoice->setCurrentIndex(0);
    NavChoice->setCurrentIndex(0);
}

void TCom_Form::OKBtnClick()
{
    const std::string problem =
        sharedPortProblem(PortChoice->currentIndex(), NavChoice->currentIndex());
    if (!problem.empty()) {
        session_.messages().postMessage(MessageKind::Warning, problem);
        return;
    }
    session_.connect(PortChoice->currentIndex(), NavChoice->currentIndex());
    mainWindow_.showNormal();
    hide();
}

void TCom_Form::confirm(int portChoice, int navChoice)
{
    PortChoice->setCurrentIndex(portChoice);
    NavChoice->setCurrentIndex(navChoice);
    OKBtnClick();
}

void TCom_Form::reject() {}

void TCom_Form::closeEvent(QCloseEvent* event)
{
    event->ignore();
}

} // namespace zentor
