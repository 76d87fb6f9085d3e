// The life cycle of the main window: creation, the controller start-up at the
// end of each layout pass, the close request, and the shared helpers.
#include "shell/HoofdForm.h"

#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QDeadlineTimer>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QProxyStyle>
#include <QScrollBar>
#include <QThread>
#include <QToolTip>
#include <QWindow>

#include "host/Frames.h"
#include "link/ComBaudConfig.h"
#include "link/SerialBackend.h"
#include "logbook/LogBookEditForm.h"
#include "logbook/LogBookInvulForm.h"
#include "logbook/LogBookShowForm.h"
#include "operations/ConnectForm.h"
#include "operations/ListConnectForm.h"
#include "operations/YourcallForm.h"
#include "shell/Appearance.h"
#include "shell/Clock.h"
#include "shell/DervaloApplication.h"
#include "shell/DesktopStart.h"
#include "modes/ModeSettings.h"
#include "shell/ExtraSettings.h"
#include "shell/FileLookup.h"
#include "shell/InOutError.h"
#include "shell/Layout.h"
#include "shell/Prompts.h"
#include "shell/Widgets.h"
#include "terminal/FileBestaat.h"
#include "station/Evening.h"

namespace {
// Hints show after half a second (how long one stays up is set on each
// widget, see SetHintDurations).
class HintStyle : public QProxyStyle {
public:
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override {
        if (hint == SH_ToolTip_WakeUpDelay) return 500;
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
    int pixelMetric(PixelMetric metric, const QStyleOption* option,
                    const QWidget* widget) const override {
        // The mode bar short of room asks for narrower tab margins.
        if (metric == PM_TabBarTabHSpace && widget != nullptr) {
            const QVariant margin = widget->property(TTabBalk::kTabMarginProperty);
            if (margin.isValid()) return margin.toInt();
        }
        return QProxyStyle::pixelMetric(metric, option, widget);
    }
};
} // namespace

THoofdForm::THoofdForm(SerialBackend& backend, Clock& clock, Prompts& prompts,
                       const QString& folder, QWidget* parent)
    : QMainWindow(parent), poort(backend, prompts), clock_(clock), prompts_(prompts),
      folder_(folder),
      manualCandidates_(InstalledManual::Candidates(QCoreApplication::applicationDirPath())) {
    setObjectName(QStringLiteral("HoofdForm"));
    setWindowTitle(QStringLiteral("Dervalo"));
    // 776 by 457 with the frame: W counts the frame's 8 pixels as well.
    resize(776 - kFrameWidth, 457);
    StatusAanvraagTimer.setInterval(557);
    Schryfinterval.setInterval(113);
    // The coarse timers of the toolkit may fire up to 5% early or late.
    StatusAanvraagTimer.setTimerType(Qt::PreciseTimer);
    Schryfinterval.setTimerType(Qt::PreciseTimer);
    connect(&StatusAanvraagTimer, &QTimer::timeout, this,
            [this] { Guarded([this] { StatusAanvraagTimerTimer(); }); });
    connect(&Schryfinterval, &QTimer::timeout, this,
            [this] { Guarded([this] { SchryfintervalTimer(); }); });
    WatchLine();
    evening_ = std::make_unique<Evening>();
    connect(&evening_->sender, &LogOutSender::failed, this,
            [this](const QString& reason) { NoteLogOutFailure(reason); });
    BuildWidgets();
    BuildMenus();
    // The write timer is on from the start, the status timer off.
    Schryfinterval.start();
    FormCreate();
    SetHintDurations();
    // Typing lands in the transmit window from the start.
    ZendWindow->setFocus();
    CentreOnScreen(*this);
}

THoofdForm::~THoofdForm() {
    DervaloApplication::SetMessageHook({});
    // The children outlive this body; their events must not reach a half
    // destroyed window.
    for (QObject* o :
         {static_cast<QObject*>(ZendWindow), static_cast<QObject*>(ZendWindow->viewport()),
          static_cast<QObject*>(Temp), static_cast<QObject*>(ReceiveWindow),
          static_cast<QObject*>(ReceiveWindow->viewport())})
        o->removeEventFilter(this);
}

void THoofdForm::CreateDialogs() {
    // The dialogs are made in a fixed order after the main window and live
    // for the whole run, hidden until they are needed.
    YourcallForm = new TYourcallForm(this);
    ConnectForm = new TConnectForm(this);
    ListConnectForm = new TListConnectForm(folder_, prompts_, this);
    ComBaudConfig = new TComBaudConfig(st.StoredPortName, st.StoredBaudRate, this);
    StopTimers(); // the first layout pass starts them again
    FileBestaatForm = new TFileBestaatForm(this);
    LogBookInvulForm = new TLogBookInvulForm(*this);
    LogBookShowForm = new TLogBookShowForm(*this);
    LogBookEditForm = new TLogBookEditForm(*this);
}

void THoofdForm::SetHintDurations() {
    // Every hint stays up for two and a half seconds.
    for (QWidget* w : findChildren<QWidget*>())
        w->setToolTipDuration(kHintDurationMs);
}

void THoofdForm::FormCreate() {
    // 1. The message hook.
    DervaloApplication::SetMessageHook([this] { ReceiveHandle(); });

    // 2. Hints: yellow, shown after 500 ms, for 2500 ms.
    QPalette tip = QToolTip::palette();
    tip.setColor(QPalette::ToolTipBase, QColor(255, 255, 0));
    tip.setColor(QPalette::ToolTipText, Qt::black);
    QToolTip::setPalette(tip);
    static bool hintStyleSet = false;
    if (!hintStyleSet) {
        hintStyleSet = true;
        QApplication::setStyle(new HintStyle);
    }

    // 3. - 5. The settings file, or the built-in defaults.
    const bool read = ReadSettings(folder_, st, st.IniStatus);
    if (read) {
        st.PortName = st.StoredPortName;
        st.BaudRate = st.StoredBaudRate;
        ApplyStoredAppearance();
    } else {
        StopTimers();
        Warning(QStringLiteral("Dervalo.ini not found on disk"));
        ReadBuildInParameters();
    }
    // The colour of the operator's own text, from its own small file.
    st.EchoColour = ExtraSettings::ReadEchoColour(folder_);
    // Macros, rig, logging and own station, from the same file.
    LoadEveningSettings();
    ModeSettings::Read(folder_, modes);

    // 6. The call and the four switches.
    st.MyCall = st.DefaultMyCall;
    if (st.WindowMaximized)
        setWindowState(windowState() | Qt::WindowMaximized);
    else
        setWindowState(windowState() & ~Qt::WindowMaximized);
    MenuToggleMaildrop->setChecked(st.MaildropOn);
    if (st.MaildropOn) SetTransmitCaption(QStringLiteral("Maildrop is switched ON !"));
    PkInit->setChecked(st.PkInitOn);
    LogBook->setChecked(st.LogBookOn);
    // A logbook file that cannot be opened is reported and switches the
    // logbook off; start-up goes on.
    if (st.LogBookOn) Guarded([this] { OpenLogBookFile(); });
    MenuShowLogBook->setEnabled(st.LogBookOn);
    MenuEditLogBook->setEnabled(st.LogBookOn);

    // 7. - 9.
    OpenPoort();
    // A port that cannot be opened is an outage from the start, and the
    // failed open has said so: the writes that fail in it say nothing more.
    sendOutage_ = !poort.PortOpen();
    ShowPortPane();
    StopTimers();
    StartTimers();

    // 10. - 11.
    st.TransmitBarTop = Layout::TransmitBarTopFor(centralWidget()->height(), st.SplitPerMille);
    Versie->setText(QStringLiteral("Version ") + QLatin1String(DervaloState::kVersion));
}

void THoofdForm::MenuComPortClick() {
    StopTimers();
    const QString portBefore = st.PortName;
    const quint16 rateBefore = st.BaudRate;
    ComBaudConfig->OnOk = [this] {
        StopTimers();
        // No port or rate chosen keeps the one in use.
        const QString port = ComBaudConfig->ChosenPortName();
        const int rate = ComBaudConfig->RateIndex();
        if (!port.isEmpty()) st.PortName = port;
        if (rate >= 0) st.BaudRate = TComBaudConfig::BaudRateFor(rate);
        poort.PoortClose();
        poort.PoortOpen(st.PortName);
        poort.PoortSetState(st.BaudRate);
        poort.PoortSetTimeouts();
        sendOutage_ = !poort.PortOpen();
        StartTimers();
    };
    ComBaudConfig->FormShow(st.PortName);
    const int result = prompts_.ShowModal(*ComBaudConfig);
    if (result != QDialog::Accepted) StartTimers();
    ShowPortPane();
    // With the dialog closed: where the unit on this line stands decides.
    if (result == QDialog::Accepted)
        LineChosen(st.PortName != portBefore || st.BaudRate != rateBefore);
    ShowPortPane();
}

QString THoofdForm::PortPaneText(const QString& portName, quint16 baudRate) {
    // A device path is shown by its file name; the COM names as they are.
    const qsizetype slash =
        qMax(portName.lastIndexOf(QLatin1Char('/')), portName.lastIndexOf(QLatin1Char('\\')));
    return portName.mid(slash + 1) + QStringLiteral(": ") + QString::number(baudRate);
}

void THoofdForm::ShowPortPane() {
    // The name shows only once it has opened; while the line is down the
    // pane says "offline" (behind the name of a line that was up before).
    const bool up = poort.LineCarrying() && !sendOutage_;
    if (up) openedPortName_ = st.PortName;
    const QString text = openedPortName_ != st.PortName
                             ? QStringLiteral("offline")
                             : PortPaneText(st.PortName, st.BaudRate) +
                                   (up ? QString() : QStringLiteral(" offline"));
    if (Pane8->text() != text) Pane8->setText(text);
    Pane8->setToolTip(up ? QString() : st.PortName + QStringLiteral(": not open"));
}

void THoofdForm::ReadBuildInParameters() {
    // The defaults leave the general-button and status-line fonts alone:
    // whatever a failed read put into those fields is not applied.
    ApplyBuiltInDefaults(st);
    ApplyWindowAppearance();
    // The bars' own captions use the "System" font.
    QFont barFont = Receivebalk->font();
    barFont.setFamily(Appearance::FamilyFor(QStringLiteral("System")));
    Receivebalk->setFont(barFont);
    Transmitbalk->setFont(barFont);
}

void THoofdForm::StopTimers() {
    Schryfinterval.stop();
    StatusAanvraagTimer.stop();
}

void THoofdForm::StartTimers() {
    // Switching on a timer that runs changes nothing: it keeps its beat, so
    // that typing, which calls this for every key, never holds back the
    // status request or the reading of frames. With both running there is
    // nothing to do and no pause.
    if (Schryfinterval.isActive() && StatusAanvraagTimer.isActive()) return;
    if (!Schryfinterval.isActive()) Schryfinterval.start();
    Delay(100);
    if (!StatusAanvraagTimer.isActive()) StatusAanvraagTimer.start();
}

void THoofdForm::Delay(quint32 ms) {
    clock_.Delay(ms);
}

void THoofdForm::Warning(const QString& text) {
    prompts_.MessageBox(text, QStringLiteral("Dervalo    Warning"), Prompts::Buttons::Ok);
}

void THoofdForm::OpenPoort() {
    poort.PoortOpen(st.PortName);
    poort.PoortSetState(st.BaudRate);
    poort.PoortSetTimeouts();
}

bool THoofdForm::ResetController() {
    // The controller may be in any state. A unit waiting for its rate
    // takes the first byte it sees as the autobaud character, so "*"
    // goes first. A unit in HOST mode ignores plain lines and would
    // never take its parameters: the framed HOST OFF, behind a second
    // start byte that brings a link in doubt to a known state, takes
    // it to its command line. XON, CANLINE and COMMAND follow at
    // once: at the command line or in Converse mode they throw the
    // "*" and the frame away as a half-typed line and leave the unit
    // at its command line.
    bytesLost_ += poort.TakeLost();
    const quint64 lostBefore = bytesLost_;
    const int returnsBefore = lineReturns_;
    Send(QByteArray("*") + Frames::kStart + Frames::CommandFrame("HON") + StartOver() +
         Frames::LineEnd);
    if (bytesLost_ != lostBefore || lineReturns_ != returnsBefore || poort.LineDown()) {
        // The reset never reached the unit: the line was down (its "Port
        // Error" has said so), or came back while that box was up, maybe to
        // a unit that stands anywhere. Nothing more goes to it blind: HOST
        // mode is entered from where the unit stands once the line is there
        // (at the next tick when it is back already).
        hostEntryDue_ = true;
        if (!poort.LineDown()) hostCheckDue_ = true;
        commandLineFailed_ = true;
        st.HostModeActive = false;
        return false;
    }
    Delay(500);
    WaitForData();
    DummiRead();
    // Word length and parity take effect only at a restart: eight
    // bits, no parity from the restart on, whatever the unit had. Each line
    // waits for its answer; the restart's is shown (its echo still comes at
    // the old word length: seven bits are shown).
    commandLineFailed_ = false;
    const bool reset = SendCommandLines({"AWL 8", "par 0", "8b on"}) &&
                       SendCommandLine("restart", CommandAnswer::Expect::Prompt, true, true);
    // Out of HOST mode now, whatever it was before.
    st.HostModeActive = false;
    return reset;
}

void THoofdForm::ControllerStartUp() {
    StartTimers();
    Receivebalk->setText(QStringLiteral("Receive"));
    const bool startUp = !st.PkStarted && !st.MaildropOn && st.PkInitOn;
    if (!st.PkStarted && !st.MaildropOn && !st.PkInitOn && !st.DumbMode) {
        // The controller is taken to be in HOST mode with its parameters
        // loaded already; the clock below goes to it framed.
        SetTransmitCaption(QStringLiteral("Transmit"));
        st.PkParametersLoaded = true;
        st.HostModeActive = true;
    }
    // The clock goes to a controller that is ready for it: during the
    // start-up it is set once HOST mode has been entered.
    if (!startUp) TimeToPk232();
    if (startUp) {
        // A line the unit did not take ends the start-up (its warning
        // has named it): nothing goes to a half-loaded unit.
        const bool reset = ResetController();
        st.PkStarted = true;
        MenuUnpro->setEnabled(true);
        MenuAmtorFec->setEnabled(false);
        MenuBaudotTransmit->setEnabled(false);
        if (reset) HostOn(0);
        if (!commandLineFailed_) {
            Delay(500);
            TimeToPk232();
            StartListening();
        }
    }
    st.RxScrollPos = quint16(ReceiveWindow->verticalScrollBar()->value());
    ScrollNaarEnd();
}

bool THoofdForm::FormCloseQuery() {
    const bool confirmed =
        prompts_.Confirm(QStringLiteral("Close Dervalo?"), QStringLiteral("Dervalo"));
    if (confirmed && !st.MaildropOn) {
        st.Closing = true;
        ReceiveWindow->clear();
        QApplication::clipboard()->clear();
        st.WindowMaximized = isMaximized();
        MenuPactorClick();
        if (st.PkInitOn) hostOff();
        if (st.LogFileOpen) CloseLogFile();
        if (st.LogBookOn) CloseLogBookFile();
    }
    // The settings are written on every close request, confirmed or not.
    WriteSettings(folder_, st, st.IniStatus, prompts_);
    return confirmed;
}

void THoofdForm::closeEvent(QCloseEvent* event) {
    bool accept = false;
    Guarded([&] { accept = FormCloseQuery(); });
    if (accept) {
        StopTimers();
        event->accept();
    } else {
        event->ignore();
    }
}

void THoofdForm::MenuExitDervaloClick() {
    close();
}

void THoofdForm::Help1Click() {
    if (FileExistsNoCase(folder_, QStringLiteral("Dervalo.Hlp"))) {
        const QString path = FindFileNoCase(folder_, QStringLiteral("Dervalo.hlp"));
        if (!prompts_.OpenDocument(path)) Warning(QStringLiteral("Cannot show %1").arg(path));
    } else if (const QString manual = InstalledManual::Find(manualCandidates_); !manual.isEmpty()) {
        // No browser to show it: the program's own viewer does.
        if (!prompts_.OpenDocument(manual)) ShowManualInViewer(manual);
    } else {
        Warning(QStringLiteral("Dervalo.hlp not found !"));
    }
}

void THoofdForm::MenuEditaFileClick() {
    if (FileExistsNoCase(folder_, QStringLiteral("Tramlet.exe"))) {
        const QString path = FindFileNoCase(folder_, QStringLiteral("Tramlet.exe"));
        if (!prompts_.StartProgram(path, {})) Warning(QStringLiteral("Cannot start %1").arg(path));
    } else {
        Warning(QStringLiteral("Tramlet.exe not found! Download it from Homepage QQ0QQ"));
    }
}

void THoofdForm::Guarded(const std::function<void()>& operation) {
    try {
        operation();
    } catch (const InOutError& e) {
        // One error box at a time: the box runs its own message loop, in
        // which the timers would go on reading frames, each failing the same
        // way. They rest while the box is up and run on as they were after.
        if (errorBoxShown_) return;
        errorBoxShown_ = true;
        const bool writing = Schryfinterval.isActive();
        const bool asking = StatusAanvraagTimer.isActive();
        StopTimers();
        prompts_.MessageBox(e.Message(), QStringLiteral("Dervalo"), Prompts::Buttons::Ok);
        if (writing) Schryfinterval.start();
        if (asking) StatusAanvraagTimer.start();
        errorBoxShown_ = false;
    }
}

void THoofdForm::SetLamp(QLabel* lamp, const QColor& background, const QColor& text) {
    QPalette p = lamp->palette();
    p.setColor(QPalette::Window, background);
    p.setColor(QPalette::WindowText, text);
    lamp->setPalette(p);
    lamp->repaint();
}

void THoofdForm::SetPane(QLabel* pane, const QString& text) {
    pane->setText(text);
    pane->repaint();
}

void THoofdForm::SetTransmitCaption(const QString& text) {
    Transmitbalk->setText(text);
    Transmitbalk->repaint();
}

bool THoofdForm::IsMenuShortcut(const QKeyEvent& key) const {
    // The keypad's End is the End key as well.
    const QKeySequence pressed(
        QKeyCombination(key.modifiers() & ~Qt::KeypadModifier, Qt::Key(key.key())));
    for (const QAction* a : menuBar()->findChildren<QAction*>())
        if (a->isEnabled() && !a->shortcut().isEmpty() && a->shortcut() == pressed) return true;
    return false;
}

bool THoofdForm::eventFilter(QObject* watched, QEvent* event) {
    // A menu takes its shortcut before the text window with the focus sees
    // the key, even a key the text box or the keyboard path would use (End,
    // Ctrl+End, Ctrl+S, Ctrl+F): the window is not asked to keep the key.
    if (event->type() == QEvent::ShortcutOverride &&
        (watched == ZendWindow || watched == ReceiveWindow || watched == Temp) &&
        IsMenuShortcut(*static_cast<QKeyEvent*>(event))) {
        event->ignore();
        return true;
    }
    // Each text window's own handlers see its events first.
    bool taken = false;
    if (watched == ZendWindow || watched == ZendWindow->viewport())
        taken = ZendWindowEvent(event);
    else if (watched == Temp)
        taken = TempEvent(event);
    else if (watched == ReceiveWindow || watched == ReceiveWindow->viewport())
        taken = ReceiveWindowEvent(watched, event);
    return taken || QMainWindow::eventFilter(watched, event);
}

void THoofdForm::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    // Before the window is on the screen only its parts are placed; the
    // first full pass, with the controller start-up, runs once it shows.
    if (!shownOnScreen_) {
        LayOut();
        return;
    }
    Guarded([this] { FormResize(); });
}

void THoofdForm::setVisible(bool visible) {
    QMainWindow::setVisible(visible);
    if (!visible || shownOnScreen_) return;
    // The window is on the screen and painted before the first layout pass
    // runs the start-up, whose pauses hold everything for seconds. The
    // window system may take a moment to show it.
    QDeadlineTimer deadline(kShowWaitMs);
    while (!(windowHandle() && windowHandle()->isExposed()) && !deadline.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        if (!(windowHandle() && windowHandle()->isExposed())) QThread::msleep(1);
    }
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    shownOnScreen_ = true;
    SetHintDurations(); // the dialogs are made by now

    // The split read from the settings file is kept to what a drag can set
    // in the window as it shows: the transmit bar is always there to drag.
    st.SplitPerMille = quint16(
        Layout::SplitWithinDrag(centralWidget()->height(), OuterHeight(), st.SplitPerMille));

    Guarded([this] { FormResize(); });
}
