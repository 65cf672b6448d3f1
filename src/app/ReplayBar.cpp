#include "app/ReplayBar.h"

#include <QButtonGroup>
#include <QLabel>
#include <QSignalBlocker>
#include <QSlider>
#include <QTimer>
#include <QToolButton>
#include <algorithm>
#include <cmath>
#include <iterator>

namespace zentor {

namespace {

constexpr int kFollowMs = 250;
constexpr int kSliderWidth = 420;

// The speed buttons: their text and the speed each stands for.
struct SpeedChoice
{
    const char* name;
    const char* text;
    double speed;
};
constexpr SpeedChoice kSpeeds[] = {
    {"btnSpeed1", "1x", 1.0},
    {"btnSpeed4", "4x", 4.0},
    {"btnSpeed16", "16x", 16.0},
    {"btnSpeedMax", "max", ReplayTransport::kMaxSpeed},
};

QToolButton* makeButton(QWidget* parent, const char* name, const QString& text, bool checkable)
{
    auto* button = new QToolButton(parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setText(text);
    button->setCheckable(checkable);
    button->setToolButtonStyle(Qt::ToolButtonTextOnly);
    return button;
}

} // namespace

ReplayBar::ReplayBar(ProgramSession& session, QWidget* parent)
    : QToolBar(QStringLiteral("Replay"), parent), session_(session)
{
    setObjectName(QStringLiteral("tbReplay"));
    setMovable(false);
    setFloatable(false);

    btnPause = makeButton(this, "btnPause", QStringLiteral("Pause"), true);
    addWidget(btnPause);
    connect(btnPause, &QToolButton::toggled, this, [this](bool paused) {
        btnPause->setText(paused ? QStringLiteral("Resume") : QStringLiteral("Pause"));
        if (ReplayTransport* replay = session_.replay()) {
            replay->setPaused(paused);
            session_.showReplayStatus();
        }
    });
    addSeparator();

    speeds_ = new QButtonGroup(this);
    for (const SpeedChoice& choice : kSpeeds) {
        QToolButton* button = makeButton(this, choice.name, QString::fromLatin1(choice.text), true);
        speeds_->addButton(button);
        addWidget(button);
        connect(button, &QToolButton::clicked, this,
                [this, speed = choice.speed] { chooseSpeed(speed); });
    }
    addSeparator();

    sldPosition = new QSlider(Qt::Horizontal, this);
    sldPosition->setObjectName(QStringLiteral("sldPosition"));
    sldPosition->setFixedWidth(kSliderWidth);
    sldPosition->setToolTip(QStringLiteral("Jump to a moment of the drive"));
    addWidget(sldPosition);
    // The jump is made where the slider is let go, or where a click or key puts it.
    connect(sldPosition, &QSlider::sliderReleased, this, [this] {
        if (ReplayTransport* replay = session_.replay())
            replay->seekTo(sldPosition->value());
    });
    connect(sldPosition, &QSlider::actionTriggered, this, [this](int action) {
        if (action == QAbstractSlider::SliderMove || action == QAbstractSlider::SliderNoAction)
            return;
        QTimer::singleShot(0, this, [this] {
            if (ReplayTransport* replay = session_.replay())
                replay->seekTo(sldPosition->value());
        });
    });
    lblPosition = new QLabel(this);
    lblPosition->setObjectName(QStringLiteral("lblPosition"));
    lblPosition->setContentsMargins(6, 0, 6, 0);
    addWidget(lblPosition);
    addSeparator();

    btnEndReplay = makeButton(this, "btnEndReplay", QStringLiteral("End Replay"), false);
    btnEndReplay->setToolTip(
        QStringLiteral("Close the replay and connect to the instrument again"));
    addWidget(btnEndReplay);
    connect(btnEndReplay, &QToolButton::clicked, this, &ReplayBar::endRequested);

    timer_ = new QTimer(this);
    timer_->setInterval(kFollowMs);
    connect(timer_, &QTimer::timeout, this, &ReplayBar::showPosition);
}

void ReplayBar::follow()
{
    ReplayTransport* replay = session_.replay();
    if (!replay)
        return;
    const ReplayPosition at = replay->position();
    for (QAbstractButton* button : speeds_->buttons()) {
        const auto choice =
            std::find_if(std::begin(kSpeeds), std::end(kSpeeds), [&](const SpeedChoice& c) {
                return button->objectName() == QString::fromLatin1(c.name);
            });
        button->setChecked(choice->speed == at.speed);
    }
    {
        const QSignalBlocker quiet(btnPause);
        btnPause->setChecked(false);
        btnPause->setText(QStringLiteral("Pause"));
    }
    sldPosition->setRange(0, static_cast<int>(std::ceil(at.totalSeconds)));
    btnEndReplay->setVisible(session_.liveLinkChosen());
    showPosition();
    timer_->start();
}

void ReplayBar::chooseSpeed(double speed)
{
    if (ReplayTransport* replay = session_.replay()) {
        replay->setSpeed(speed);
        session_.showReplayStatus();
    }
}

void ReplayBar::showPosition()
{
    ReplayTransport* replay = session_.replay();
    if (!replay) {
        timer_->stop();
        return;
    }
    const ReplayPosition at = replay->position();
    lblPosition->setText(QString::fromStdString(replayPositionText(at)));
    if (!sldPosition->isSliderDown()) {
        const QSignalBlocker quiet(sldPosition);
        sldPosition->setValue(static_cast<int>(std::lround(at.seconds)));
    }
    btnPause->setEnabled(!at.ended);
    sldPosition->setEnabled(!at.ended);
}

} // namespace zentor
