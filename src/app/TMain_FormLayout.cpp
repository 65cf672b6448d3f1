// Builds the main window's controls. The window has a fixed size, so the areas are placed at
// fixed positions; inside each group a layout lines the controls up.
#include "app/TMain_Form.h"
#include "gps/GpsPanel.h"
#include "ui/FormLayout.h"
#include "ui/Glyphs.h"
#include "ui/PanelStatusBar.h"

#include <QButtonGroup>
#include <QFileDialog>
#include <QFormLayout>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>
#include <type_traits>

namespace zentor {

namespace {

constexpr int kCommandBarHeight = 32;
constexpr int kStatusBarHeight = 22;
constexpr int kStatusPanelWidth = 150;
constexpr int kInfoPanelWidth = 210;
constexpr int kMiddleTop = kCommandBarHeight;
constexpr int kMiddleHeight = TMain_Form::kClientHeight - kCommandBarHeight - kStatusBarHeight;
constexpr int kLinkTextPanelWidth = 800;
constexpr int kClockPanelWidth = 100;
constexpr int kButtonSize = 26;
constexpr int kGroupGap = 10; // between two groups of speed buttons
constexpr int kLogFileWidth = 150;
constexpr int kFileSizeWidth = 70;
const char* const kTravelPilotSourceNote =
    "Positions come from the TravelPilot: no GPS data, and nothing goes to the map.";

QFrame* makePanel(QWidget* parent, const char* name, QFrame::Shadow shadow)
{
    auto* panel = new QFrame(parent);
    panel->setObjectName(QString::fromLatin1(name));
    panel->setFrameStyle(QFrame::Panel | shadow);
    return panel;
}

QToolButton* makeGlyphButton(QWidget* parent, const char* name, const QString& hint, bool checkable,
                             Glyph picture)
{
    QToolButton* button = makeSpeedButton(parent, name, hint, checkable);
    button->setIcon(glyph(picture));
    button->setFixedSize(kButtonSize, kButtonSize);
    return button;
}

QToolButton* makeTextButton(QWidget* parent, const char* name, const QString& caption,
                            const QString& hint)
{
    QToolButton* button = makeSpeedButton(parent, name, hint, true);
    button->setText(caption);
    QFont bold = button->font();
    bold.setBold(true);
    button->setFont(bold);
    button->setFixedSize(kButtonSize, kButtonSize);
    return button;
}

// Makes the buttons mutually exclusive; the first is down.
void groupExclusive(QObject* owner, std::initializer_list<QToolButton*> buttons)
{
    auto* group = new QButtonGroup(owner);
    group->setExclusive(true);
    for (QToolButton* button : buttons)
        group->addButton(button);
    (*buttons.begin())->setChecked(true);
}

// Group contents sit close together, so that every group of a panel fits its height.
template <class Layout> Layout* compactLayout(QWidget* group)
{
    auto* layout = new Layout(group);
    layout->setContentsMargins(6, 4, 6, 6);
    layout->setSpacing(3);
    if constexpr (std::is_same_v<Layout, QFormLayout>)
        layout->setHorizontalSpacing(8);
    return layout;
}

// A caption above its field, as the narrow status panel has room for.
void addStackedField(QVBoxLayout* column, QWidget* parent, const char* captionName,
                     const QString& caption, QLineEdit* field)
{
    column->addWidget(makeLabel(parent, captionName, caption));
    column->addWidget(field);
}

} // namespace

void TMain_Form::buildWindow()
{
    setObjectName(QStringLiteral("Main_Form"));
    setWindowTitle(QStringLiteral("Zentor Data Logger (Dead Reckoning Edition)"));
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    setFont(formFont());

    auto* client = new QWidget(this);
    client->setObjectName(QStringLiteral("ClientArea"));
    client->setFixedSize(kClientWidth, kClientHeight);
    setCentralWidget(client);

    pnlScroll = static_cast<QFrame*>(buildCommandBar(client));
    pnlStatus = static_cast<QFrame*>(buildStatusPanel(client));
    pnlReceiverInfo = static_cast<QFrame*>(buildInformationPanel(client));
    buildReceiverArea(client);
    buildStatusBar(client);
    buildMenu();
    layout()->setSizeConstraint(QLayout::SetFixedSize);

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(kTickMs);
    connect(Timer1, &QTimer::timeout, this, &TMain_Form::Timer1Timer);
    Timer1->start();
}

QFileDialog* TMain_Form::openLogDialog()
{
    if (dlgOpenLog)
        return dlgOpenLog;
    dlgOpenLog = new QFileDialog(this);
    dlgOpenLog->setObjectName(QStringLiteral("dlgOpenLog"));
    dlgOpenLog->setFileMode(QFileDialog::AnyFile);
    dlgOpenLog->setAcceptMode(QFileDialog::AcceptOpen);
    dlgOpenLog->setWindowTitle(QStringLiteral("Select Log File"));
    dlgOpenLog->setNameFilters(
        {QStringLiteral("Data logger logs (*.KLF)"), QStringLiteral("All Files (*)")});
    return dlgOpenLog;
}

QWidget* TMain_Form::buildCommandBar(QWidget* client)
{
    QFrame* bar = makePanel(client, "pnlScroll", QFrame::Raised);
    bar->setGeometry(0, 0, kClientWidth, kCommandBarHeight);
    auto* row = new QHBoxLayout(bar);
    row->setContentsMargins(3, 2, 3, 2);
    row->setSpacing(1);

    btnReceiverPanels = makeGlyphButton(bar, "btnReceiverPanels", QStringLiteral("Receiver Screen"),
                                        true, Glyph::ReceiverScreen);
    btnGPSPanel =
        makeGlyphButton(bar, "btnGPSPanel", QStringLiteral("GPS Screen"), true, Glyph::GpsScreen);
    btnSingleMode = makeGlyphButton(bar, "btnSingleMode", QStringLiteral("Single Channel Mode"),
                                    true, Glyph::SingleMode);
    btnScanMode =
        makeGlyphButton(bar, "btnScanMode", QStringLiteral("Scan Mode"), true, Glyph::ScanMode);
    btnTableMode =
        makeGlyphButton(bar, "btnTableMode", QStringLiteral("Table Mode"), true, Glyph::TableMode);
    btnTileH = makeGlyphButton(bar, "btnTileH", QStringLiteral("Tile Receiver Panels Horizontally"),
                               true, Glyph::TileHorizontal);
    btnTileV = makeGlyphButton(bar, "btnTileV", QStringLiteral("Tile Receiver Panels Vertically"),
                               true, Glyph::TileVertical);
    sbFrequency =
        makeTextButton(bar, "sbFrequency", QStringLiteral("F"), QStringLiteral("Show Frequencies"));
    sbChannel =
        makeTextButton(bar, "sbChannel", QStringLiteral("C"), QStringLiteral("ShowChannels"));
    btnReceiver1 = makeTextButton(bar, "btnReceiver1", QStringLiteral("R1"), QString());
    btnReceiver2 = makeTextButton(bar, "btnReceiver2", QStringLiteral("R2"), QString());
    btnReceiver1->setChecked(true);
    btnReceiver2->setChecked(true);
    btnLogMode =
        makeGlyphButton(bar, "btnLogMode", QStringLiteral("Log Data"), true, Glyph::LogData);
    btnLogFile = makeGlyphButton(bar, "btnLogFile", QStringLiteral("Select Log File"), false,
                                 Glyph::LogFile);

    LogFile = new QLineEdit(QStringLiteral("Zentor"), bar);
    LogFile->setObjectName(QStringLiteral("LogFile"));
    LogFile->setFixedWidth(kLogFileWidth);
    edFileSize = makeDisplayField(bar, "edFileSize", QStringLiteral("0 kB"));
    edFileSize->setToolTip(QStringLiteral("File Size"));
    edFileSize->setFixedWidth(kFileSizeWidth);
    edFileSize->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    groupExclusive(this, {btnReceiverPanels, btnGPSPanel});
    groupExclusive(this, {btnSingleMode, btnScanMode, btnTableMode});
    groupExclusive(this, {btnTileH, btnTileV});
    groupExclusive(this, {sbFrequency, sbChannel});

    const std::initializer_list<std::initializer_list<QWidget*>> groups{
        {btnReceiverPanels, btnGPSPanel},
        {btnSingleMode, btnScanMode, btnTableMode},
        {btnTileH, btnTileV},
        {sbFrequency, sbChannel},
        {btnReceiver1, btnReceiver2}};
    for (const auto& group : groups) {
        for (QWidget* w : group)
            row->addWidget(w);
        row->addSpacing(kGroupGap);
    }
    row->addStretch(1);
    row->addWidget(btnLogMode);
    row->addWidget(btnLogFile);
    row->addSpacing(4);
    row->addWidget(LogFile);
    row->addSpacing(4);
    row->addWidget(edFileSize);
    return bar;
}

QWidget* TMain_Form::buildStatusPanel(QWidget* client)
{
    QFrame* panel = makePanel(client, "pnlStatus", QFrame::Raised);
    panel->setGeometry(0, kMiddleTop, kStatusPanelWidth, kMiddleHeight);
    auto* column = new QVBoxLayout(panel);
    column->setContentsMargins(4, 4, 4, 4);

    QGroupBox* clock = makeGroup(panel, "gbRTCMarker", QStringLiteral("RTC/Marker"));
    auto* clockFields = compactLayout<QGridLayout>(clock);
    edRTCDate = makeDisplayField(clock, "edRTCDate");
    edRTCTime = makeDisplayField(clock, "edRTCTime");
    edMarker = makeDisplayField(clock, "edMarker");
    clockFields->addWidget(edRTCDate, 0, 0, 1, 2);
    clockFields->addWidget(edRTCTime, 1, 0);
    clockFields->addWidget(edMarker, 1, 1);
    column->addWidget(clock);

    QGroupBox* serial = makeGroup(panel, "gbSerialNumber", QStringLiteral("Serial Number"));
    auto* serialColumn = compactLayout<QVBoxLayout>(serial);
    edSN = makeDisplayField(serial, "edSN");
    serialColumn->addWidget(edSN);
    column->addWidget(serial);

    static constexpr const char* kGroupNames[kReceiverCount] = {"gbReceiver1", "gbReceiver2"};
    static constexpr const char* kGroupTitles[kReceiverCount] = {"Receiver #1", "Receiver #2"};
    static constexpr const char* kMinNames[kReceiverCount] = {"edMin1", "edMin2"};
    static constexpr const char* kMaxNames[kReceiverCount] = {"edMax1", "edMax2"};
    static constexpr const char* kStepNames[kReceiverCount] = {"edStep1", "edStep2"};
    static constexpr const char* kMinCaptions[kReceiverCount] = {"lblMin1", "lblMin2"};
    static constexpr const char* kMaxCaptions[kReceiverCount] = {"lblMax1", "lblMax2"};
    static constexpr const char* kStepCaptions[kReceiverCount] = {"lblStep1", "lblStep2"};
    for (int r = 0; r < kReceiverCount; ++r) {
        QGroupBox* group = makeGroup(panel, kGroupNames[r], QString::fromLatin1(kGroupTitles[r]));
        auto* fields = compactLayout<QVBoxLayout>(group);
        fields->setSpacing(1);
        edMin[r] = makeDisplayField(group, kMinNames[r]);
        edMax[r] = makeDisplayField(group, kMaxNames[r]);
        edStep[r] = makeDisplayField(group, kStepNames[r]);
        for (QLineEdit* number : {edMin[r], edMax[r], edStep[r]})
            number->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        addStackedField(fields, group, kMinCaptions[r], QStringLiteral("Minimum (MHz)"), edMin[r]);
        addStackedField(fields, group, kMaxCaptions[r], QStringLiteral("Maximum (MHz)"), edMax[r]);
        addStackedField(fields, group, kStepCaptions[r], QStringLiteral("Step Size (kHz)"),
                        edStep[r]);
        column->addWidget(group);
    }
    column->addStretch(1);
    return panel;
}

QWidget* TMain_Form::buildInformationPanel(QWidget* client)
{
    QFrame* panel = makePanel(client, "pnlReceiverInfo", QFrame::Raised);
    panel->setGeometry(kClientWidth - kInfoPanelWidth, kMiddleTop, kInfoPanelWidth, kMiddleHeight);
    auto* column = new QVBoxLayout(panel);
    column->setContentsMargins(4, 4, 4, 4);

    gbTravelPilot = makeGroup(panel, "gbTravelPilot", QStringLiteral("TravelPilot"));
    // The fields, then the warning under them in a column: a column keeps a hidden widget's
    // place, a form layout does not, and the warning must move nothing when it appears.
    auto* pilotColumn = compactLayout<QVBoxLayout>(gbTravelPilot);
    auto* pilot = new QFormLayout;
    pilot->setContentsMargins(0, 0, 0, 0);
    pilot->setSpacing(pilotColumn->spacing());
    pilot->setHorizontalSpacing(8);
    pilotColumn->addLayout(pilot);
    const std::initializer_list<std::pair<const char*, const char*>> pilotFields{
        {"edTpVersion", "Version"}, {"edTpLat", "Latitude"}, {"edTpLon", "Longitude"},
        {"edTpUpdate", "Update #"}, {"edTpSpeed", "Speed"},  {"edTpDirection", "Direction"}};
    for (const auto& [name, caption] : pilotFields)
        pilot->addRow(QString::fromLatin1(caption), makeDisplayField(gbTravelPilot, name));
    lWarning = makeLabel(gbTravelPilot, "lWarning", QStringLiteral("Not Responding!!!"));
    // Red words on a white ground of their own: the group turns red when the warning shows.
    QPalette warning = lWarning->palette();
    warning.setColor(QPalette::WindowText, Qt::red);
    warning.setColor(QPalette::Window, Qt::white);
    lWarning->setPalette(warning);
    lWarning->setAutoFillBackground(true);
    QFont bold = lWarning->font();
    bold.setBold(true);
    lWarning->setFont(bold);
    lWarning->setAlignment(Qt::AlignCenter);
    // Its place stays reserved while it is hidden, so that the groups never move.
    QSizePolicy keepPlace = lWarning->sizePolicy();
    keepPlace.setRetainSizeWhenHidden(true);
    lWarning->setSizePolicy(keepPlace);
    lWarning->hide();
    pilotColumn->addWidget(lWarning);
    column->addWidget(gbTravelPilot);

    QGroupBox* gps = makeGroup(panel, "gbGPSData", QStringLiteral("GPS Data"));
    gpsDataRows_ = compactLayout<QFormLayout>(gps);
    addGpsDataFields(gps, gpsDataRows_, gpsWidgets_);
    // With the TravelPilot as the position source the group's fields stay empty: in their place
    // it says why.
    lGpsSource = makeLabel(gps, "lGpsSource", QString::fromLatin1(kTravelPilotSourceNote));
    lGpsSource->setWordWrap(true);
    gpsDataRows_->addRow(lGpsSource);
    gpsDataRows_->setRowVisible(lGpsSource, false);
    column->addWidget(gps);
    column->addStretch(1);
    return panel;
}

void TMain_Form::buildReceiverArea(QWidget* client)
{
    static constexpr const char* kPanelNames[kReceiverCount] = {"Receiver1Panel", "Receiver2Panel"};
    for (int r = 0; r < kReceiverCount; ++r)
        receiverPanel[r] = makePanel(client, kPanelNames[r], QFrame::Sunken);
    GPSPanel = makePanel(client, "GPSPanel", QFrame::Sunken);
    const PanelRect area = receiverArea();
    GPSPanel->setGeometry(area.left, area.top, area.width, area.height);
    buildGpsPanel(GPSPanel, gpsWidgets_);
    GPSPanel->hide();
    // The receiver panels' borders overlap their neighbours': keep the panels beside them on top.
    pnlStatus->raise();
    pnlReceiverInfo->raise();
}

void TMain_Form::buildStatusBar(QWidget* client)
{
    sbarZentor = new PanelStatusBar(client);
    sbarZentor->setObjectName(QStringLiteral("sbarZentor"));
    sbarZentor->setGeometry(0, kClientHeight - kStatusBarHeight, kClientWidth, kStatusBarHeight);
    sbarZentor->setPanelWidths({kLinkTextPanelWidth, kClockPanelWidth});
    sbarZentor->setPanelText(1, QStringLiteral("PC Clock"));
    sbarZentor->setOwnerDrawn(1, true);
    connect(sbarZentor, &PanelStatusBar::drawPanel, this, &TMain_Form::sbarZentorDrawPanel);

    olClock = makeLabel(client, "olClock", QStringLiteral("HH:MM:SS"));
    olClock->setAlignment(Qt::AlignCenter);
}

void TMain_Form::buildMenu()
{
    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    file->setObjectName(QStringLiteral("File1"));
    QAction* replay =
        file->addAction(QStringLiteral("&Replay Drive..."), this, &TMain_Form::ReplayDrive1Click);
    replay->setObjectName(QStringLiteral("ReplayDrive1"));
    file->addSeparator();
    QAction* exit = file->addAction(QStringLiteral("E&xit"), this, &TMain_Form::Exit1Click);
    exit->setObjectName(QStringLiteral("Exit1"));

    QAction* map = menuBar()->addAction(QStringLiteral("&Map"), this, &TMain_Form::MapClick);
    map->setObjectName(QStringLiteral("Map"));

    QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
    help->setObjectName(QStringLiteral("Help1"));
    QAction* manual =
        help->addAction(QStringLiteral("&User Manual"), this, &TMain_Form::UserManualClick);
    manual->setObjectName(QStringLiteral("UserManual"));
    help->addSeparator();
    QAction* about = help->addAction(QStringLiteral("&About"), this, &TMain_Form::AboutClick);
    about->setObjectName(QStringLiteral("About"));
}

} // namespace zentor
