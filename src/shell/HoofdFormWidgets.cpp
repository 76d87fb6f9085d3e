// The widgets and menus of the main window, as designed.
#include <QAction>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QToolButton>

#include "shell/HoofdForm.h"
#include "shell/Layout.h"
#include "shell/Widgets.h"

namespace {
QLabel* Lamp(QWidget* parent, const char* name, const QString& caption, const QString& hint) {
    const Layout::Design d;
    auto* lamp = new QLabel(caption, parent);
    lamp->setObjectName(QLatin1String(name));
    lamp->setAlignment(Qt::AlignCenter);
    lamp->setFrameShape(QFrame::Panel);
    lamp->setFrameShadow(QFrame::Sunken);
    lamp->setAutoFillBackground(true);
    lamp->setGeometry(0, d.ledTop, d.ledWidth, d.ledHeight);
    if (!hint.isEmpty()) lamp->setToolTip(hint);
    THoofdForm::SetLamp(lamp, QColor(0, 255, 0), Qt::black);
    return lamp;
}
} // namespace

QAction* THoofdForm::Item(QMenu* menu, const char* name, const QString& caption,
                          const QKeySequence& key, void (THoofdForm::*handler)()) {
    auto* action = menu->addAction(caption);
    action->setObjectName(QLatin1String(name));
    if (!key.isEmpty()) action->setShortcut(key);
    connect(action, &QAction::triggered, this,
            [this, handler] { Guarded([&] { (this->*handler)(); }); });
    return action;
}

void THoofdForm::BuildMenus() {
    QMenuBar* bar = menuBar();

    QMenu* file = bar->addMenu(QStringLiteral("&File"));
    MenuOpenLogFile = Item(file, "MenuOpenLogFile", QStringLiteral("&Open Log File"),
                           QKeySequence(Qt::ALT | Qt::Key_O), &THoofdForm::MenuOpenLogFileClick);
    MenuCloseLogFile = Item(file, "MenuCloseLogFile", QStringLiteral("C&lose Log File"), {},
                            &THoofdForm::MenuCloseLogFileClick);
    MenuCloseLogFile->setEnabled(false);
    file->addSeparator();
    MenuShowLogBook = Item(file, "MenuShowLogBook", QStringLiteral("Show LogBook"), {},
                           &THoofdForm::MenuShowLogBookClick);
    MenuEditLogBook = Item(file, "MenuEditLogBook", QStringLiteral("Edit LogBook"), {},
                           &THoofdForm::MenuEditLogBookClick);
    file->addSeparator();
    MenuEditaFile = Item(file, "MenuEditaFile", QStringLiteral("&Edit a file"),
                         QKeySequence(Qt::ALT | Qt::Key_E), &THoofdForm::MenuEditaFileClick);
    file->addSeparator();
    MenuTransmitFile = Item(file, "MenuTransmitFile", QStringLiteral("Transmit Text &File"),
                            QKeySequence(Qt::CTRL | Qt::Key_F), &THoofdForm::MenuTransmitFileClick);
    file->addSeparator();
    MenuExitDervalo = Item(file, "MenuExitDervalo", QStringLiteral("E&xit Dervalix"),
                           QKeySequence(Qt::ALT | Qt::Key_X), &THoofdForm::MenuExitDervaloClick);

    QMenu* config = bar->addMenu(QStringLiteral("&Configuration"));
    MenuComPort =
        Item(config, "MenuComPort", QStringLiteral("Com Port"), {}, &THoofdForm::MenuComPortClick);
    QMenu* fonts = config->addMenu(QStringLiteral("Font Type"));
    MenuRxWindowFont = Item(fonts, "MenuRxWindowFont", QStringLiteral("Receive Window"), {},
                            &THoofdForm::MenuRxWindowFontClick);
    MenuTxWindowFont = Item(fonts, "MenuTxWindowFont", QStringLiteral("Transmit Window"), {},
                            &THoofdForm::MenuTxWindowFontClick);
    KnoppenBalk1 = Item(fonts, "KnoppenBalk1", QStringLiteral("General Buttons"), {},
                        &THoofdForm::KnoppenBalk1Click);
    Statusline1 =
        Item(fonts, "Statusline1", QStringLiteral("Statusline"), {}, &THoofdForm::Statusline1Click);
    QMenu* colors = config->addMenu(QStringLiteral("Colors"));
    MenuRxWindowColor = Item(colors, "MenuRxWindowColor", QStringLiteral("ReceiveWindow"), {},
                             &THoofdForm::MenuRxWindowColorClick);
    MenuTxWindowColor = Item(colors, "MenuTxWindowColor", QStringLiteral("TransmitWindow"), {},
                             &THoofdForm::MenuTxWindowColorClick);
    MenuEchoColor = Item(colors, "MenuEchoColor", QStringLiteral("Own text"), {},
                         &THoofdForm::MenuEchoColorClick);
    TransmitandReceivebar1 =
        Item(colors, "TransmitandReceivebar1", QStringLiteral("Transmit and Receive bar"), {},
             &THoofdForm::TransmitandReceivebar1Click);
    MenuYourcall = Item(config, "MenuYourcall", QStringLiteral("&Your call"), {},
                        &THoofdForm::MenuYourcallClick);
    PkInit = Item(config, "PkInit", QStringLiteral("Init Pk"), {}, &THoofdForm::PkInitClick);
    PkInit->setCheckable(true);
    LogBook = Item(config, "LogBook", QStringLiteral("LogBook"), {}, &THoofdForm::LogBookClick);
    LogBook->setCheckable(true);

    QMenu* mode = bar->addMenu(QStringLiteral("&Mode"));
    MenuPactor = Item(mode, "MenuPactor", QStringLiteral("&Pactor"), QKeySequence(Qt::Key_F2),
                      &THoofdForm::MenuPactorClick);
    MenuAmtor = Item(mode, "MenuAmtor", QStringLiteral("&Amtor"), QKeySequence(Qt::Key_F3),
                     &THoofdForm::MenuAmtorClick);
    MenuRtty = Item(mode, "MenuRtty", QStringLiteral("&Rtty"), QKeySequence(Qt::Key_F4),
                    &THoofdForm::MenuRttyClick);
    mode->addSeparator();
    MenuDumb = Item(mode, "MenuDumb", QStringLiteral("&Dumb terminal"), QKeySequence(Qt::Key_F10),
                    &THoofdForm::MenuDumbClick);
    BuildModeMenuItems(mode);
    MenuFax = Item(mode, "MenuFax", QStringLiteral("Weather &fax"), {}, &THoofdForm::MenuFaxClick);

    QMenu* action = bar->addMenu(QStringLiteral("&Action"));
    MenuToggleListen = Item(action, "MenuToggleListen", QStringLiteral("Toggle &Listen"),
                            QKeySequence(Qt::Key_F6), &THoofdForm::MenuToggleListenClick);
    action->addSeparator();
    MenuUnpro = Item(action, "MenuUnpro", QStringLiteral("&Unpro Transmit"),
                     QKeySequence(Qt::Key_F7), &THoofdForm::MenuUnproClick);
    MenuAmtorFec = Item(action, "MenuAmtorFec", QStringLiteral("&Fec Transmit"),
                        QKeySequence(Qt::ALT | Qt::Key_F7), &THoofdForm::MenuAmtorFecClick);
    MenuBaudotTransmit =
        Item(action, "MenuBaudotTransmit", QStringLiteral("&Baudot Transmit"),
             QKeySequence(Qt::CTRL | Qt::Key_F7), &THoofdForm::MenuBaudotTransmitClick);
    MenuStandby = Item(action, "MenuStandby", QStringLiteral("&Standby in this Mode"),
                       QKeySequence(Qt::CTRL | Qt::Key_S), &THoofdForm::MenuStandbyClick);
    action->addSeparator();
    MenuCallAstation = Item(action, "MenuCallAstation", QStringLiteral("&Call a station"),
                            QKeySequence(Qt::Key_F5), &THoofdForm::MenuCallAstationClick);
    MenuCallAListStation =
        Item(action, "MenuCallAListStation", QStringLiteral("Call a station from &List"),
             QKeySequence(Qt::ALT | Qt::Key_F5), &THoofdForm::MenuCallAListStationClick);
    action->addSeparator();
    MenuDisconnect = Item(action, "MenuDisconnect", QStringLiteral("&Disconnect"),
                          QKeySequence(Qt::ALT | Qt::Key_D), &THoofdForm::MenuDisconnectClick);
    MenuHardDisconnect =
        Item(action, "MenuHardDisconnect", QStringLiteral("&Hard Disconnect"),
             QKeySequence(Qt::ALT | Qt::Key_H), &THoofdForm::MenuHardDisconnectClick);
    action->addSeparator();
    MenuCallCQ = Item(action, "MenuCallCQ", QStringLiteral("Call C&Q"), QKeySequence(Qt::Key_F8),
                      &THoofdForm::MenuCallCQClick);
    MenuChangeOver = Item(action, "MenuChangeOver", QStringLiteral("Change &Over"),
                          QKeySequence(Qt::Key_End), &THoofdForm::MenuChangeOverClick);
    MenuSendHiscalldeMycall =
        Item(action, "MenuSendHiscalldeMycall", QStringLiteral("&Send Hiscall de Mycall"),
             QKeySequence(Qt::CTRL | Qt::Key_End), &THoofdForm::MenuSendHiscalldeMycallClick);
    action->addSeparator();
    MenuClearTxScreen =
        Item(action, "MenuClearTxScreen", QStringLiteral("Clear &Tx Screen + Buffer"),
             QKeySequence(Qt::ALT | Qt::Key_T), &THoofdForm::MenuClearTxScreenClick);
    MenuClearRxScreen =
        Item(action, "MenuClearRxScreen", QStringLiteral("Clear &Rx Screen + Buffer"),
             QKeySequence(Qt::ALT | Qt::Key_R), &THoofdForm::MenuClearRxScreenClick);

    QMenu* mail = bar->addMenu(QStringLiteral("Mail&Box"));
    MenuToggleMaildrop = Item(mail, "MenuToggleMaildrop", QStringLiteral("Toggle Maildrop"), {},
                              &THoofdForm::MenuToggleMaildropClick);
    MenuToggleMaildrop->setCheckable(true);
    MenuMaildropCheck = Item(mail, "MenuMaildropCheck", QStringLiteral("Maildrop Check"), {},
                             &THoofdForm::MenuMaildropCheckItemClick);
    // Checked while the maildrop check is open.
    MenuMaildropCheck->setCheckable(true);

    BuildEveningMenus(bar);

    // "Help" is a command of its own on the menu bar, reached by F1 and the
    // mouse. It has no Alt letter: Alt+H is "&Hard Disconnect".
    Help1 = bar->addAction(QStringLiteral("Help"));
    Help1->setObjectName(QStringLiteral("Help1"));
    Help1->setShortcut(QKeySequence(Qt::Key_F1));
    connect(Help1, &QAction::triggered, this, [this] { Guarded([this] { Help1Click(); }); });

    // Menu shortcuts work from anywhere in the main window.
    for (QAction* a : bar->findChildren<QAction*>())
        a->setShortcutContext(Qt::WindowShortcut);
    addAction(Help1);
}

QToolButton* THoofdForm::ModeButton(QWidget* page, const char* name, const QString& caption,
                                    const QString& hint, void (THoofdForm::*handler)()) {
    auto* b = new QToolButton(page);
    b->setObjectName(QLatin1String(name));
    b->setText(caption);
    b->setToolTip(hint);
    b->setFocusPolicy(Qt::NoFocus);
    b->setToolButtonStyle(Qt::ToolButtonTextOnly);
    connect(b, &QToolButton::clicked, this,
            [this, handler] { Guarded([&] { (this->*handler)(); }); });
    return b;
}

void THoofdForm::BuildModeBar() {
    TabBalk = new TTabBalk(centralWidget());
    TabBalk->setObjectName(QStringLiteral("TabBalk"));
    TabBalk->setToolTip(QStringLiteral("CHOOSE a MODE"));
    TabBalk->setFocusPolicy(Qt::NoFocus);
    TabBalk->tabBar()->setFocusPolicy(Qt::NoFocus);
    TabBalk->setDocumentMode(true);
    PactorPage = new QWidget;
    AmtorPage = new QWidget;
    RttyPage = new QWidget;
    DumbPage = new QWidget;
    TabBalk->addTab(PactorPage, QStringLiteral("PACTOR"));
    TabBalk->addTab(AmtorPage, QStringLiteral("AMTOR"));
    TabBalk->addTab(RttyPage, QStringLiteral("RTTY"));
    TabBalk->addTab(DumbPage, QStringLiteral("DUMB"));
    TabBalk->OnChange = [this](int page) { Guarded([&] { TabBalkChange(page); }); };

    using H = THoofdForm;
    // The buttons are small picture buttons; here the picture is a short
    // word, and the hint says what the button does.
    PactorStb = ModeButton(PactorPage, "PactorStb", QStringLiteral("Standby"),
                           QStringLiteral("STANDBY"), &H::MenuStandbyClick);
    PactorListen = ModeButton(PactorPage, "PactorListen", QStringLiteral("Listen"),
                              QStringLiteral("LISTEN"), &H::MenuToggleListenClick);
    PactorUnpro = ModeButton(PactorPage, "PactorUnpro", QStringLiteral("Unpro"),
                             QStringLiteral("UNPRO TRANSMIT"), &H::MenuUnproClick);
    PactorCQ = ModeButton(PactorPage, "PactorCQ", QStringLiteral("CQ"), QStringLiteral("CALL CQ"),
                          &H::PactorCQClick);
    PactorCall = ModeButton(PactorPage, "PactorCall", QStringLiteral("Connect"),
                            QStringLiteral("CONNECT"), &H::MenuCallAstationClick);
    PactorListCall =
        ModeButton(PactorPage, "PactorListCall", QStringLiteral("List call"),
                   QStringLiteral("CONNECT FROM Dervalix.cal "), &H::MenuCallAListStationClick);
    pactorDisconnect = ModeButton(PactorPage, "pactorDisconnect", QStringLiteral("Disc"),
                                  QStringLiteral("NORMAL DISCONNECT"), &H::MenuDisconnectClick);
    PactorHardDisconnect =
        ModeButton(PactorPage, "PactorHardDisconnect", QStringLiteral("Hard disc"),
                   QStringLiteral("DISCONNECT IN EMERGENCY"), &H::MenuHardDisconnectClick);

    AmtorStb = ModeButton(AmtorPage, "AmtorStb", QStringLiteral("Standby"),
                          QStringLiteral("STANDBY"), &H::MenuStandbyClick);
    AmtorListen = ModeButton(AmtorPage, "AmtorListen", QStringLiteral("Listen"),
                             QStringLiteral("LISTEN"), &H::MenuToggleListenClick);
    AmtorFEC = ModeButton(AmtorPage, "AmtorFEC", QStringLiteral("FEC"),
                          QStringLiteral("FEC TRANSMIT"), &H::MenuAmtorFecClick);
    AmtorCQ = ModeButton(AmtorPage, "AmtorCQ", QStringLiteral("CQ"), QStringLiteral("CALL CQ"),
                         &H::AmtorCQClick);
    Amtorcall = ModeButton(AmtorPage, "Amtorcall", QStringLiteral("Call"),
                           QStringLiteral("CALL A STATION"), &H::MenuCallAstationClick);
    AmtorListcall =
        ModeButton(AmtorPage, "AmtorListcall", QStringLiteral("List call"),
                   QStringLiteral("CALL A STATIOM FROM Dervalix.cal"), &H::AmtorListcallClick);
    AmtorDisConnect = ModeButton(AmtorPage, "AmtorDisConnect", QStringLiteral("Disc"),
                                 QStringLiteral("AMTOR DISCONNECT"), &H::MenuDisconnectClick);
    AmtorHardDisconnect =
        ModeButton(AmtorPage, "AmtorHardDisconnect", QStringLiteral("Hard disc"),
                   QStringLiteral("Disconnect in Emergency"), &H::MenuHardDisconnectClick);

    RttyReceive = ModeButton(RttyPage, "RttyReceive", QStringLiteral("Receive"),
                             QStringLiteral("RTTY RECEIVE"), &H::RttyReceiveClick);
    RttyTransmit = ModeButton(RttyPage, "RttyTransmit", QStringLiteral("Transmit"),
                              QStringLiteral("RTTY TRANSMIT"), &H::RttyTransmitClick);
    RttyCQ = ModeButton(RttyPage, "RttyCQ", QStringLiteral("CQ"), QStringLiteral("CALL CQ"),
                        &H::RttyCQClick);
    RttyHiscall =
        ModeButton(RttyPage, "RttyHiscall", QStringLiteral("His call"),
                   QStringLiteral("Make Hiscall Known to the program"), &H::MenuCallAstationClick);

    MdcList = ModeButton(DumbPage, "MdcList", QStringLiteral("List"), QString(), &H::MdcListClick);
    MdcRead = ModeButton(DumbPage, "MdcRead", QStringLiteral("Read"), QString(), &H::MdcReadClick);
    MdcWrite =
        ModeButton(DumbPage, "MdcWrite", QStringLiteral("Write"), QString(), &H::MdcWriteClick);
    MdcKill = ModeButton(DumbPage, "MdcKill", QStringLiteral("Kill"), QString(), &H::MdcKillClick);
    // The maildrop buttons stay hidden until the maildrop check opens.
    for (QToolButton* b : {MdcList, MdcRead, MdcWrite, MdcKill})
        b->setVisible(false);
    BuildModePages();
    BuildFaxPage();
}

QPushButton* THoofdForm::GeneralButton(const char* name, const QString& caption,
                                       const QString& hint, void (THoofdForm::*handler)()) {
    auto* b = new QPushButton(caption, KnoppenBalk);
    b->setObjectName(QLatin1String(name));
    b->setToolTip(hint);
    b->setFocusPolicy(Qt::NoFocus);
    connect(b, &QPushButton::clicked, this,
            [this, handler] { Guarded([&] { (this->*handler)(); }); });
    return b;
}

void THoofdForm::BuildGeneralButtons() {
    KnoppenBalk = new QFrame(centralWidget());
    KnoppenBalk->setObjectName(QStringLiteral("KnoppenBalk"));
    KnoppenBalk->setFrameShape(QFrame::NoFrame);
    using H = THoofdForm;
    SpeedCho = GeneralButton("SpeedCho", QStringLiteral("CHO"), QStringLiteral("Change Over"),
                             &H::MenuChangeOverClick);
    SpeedHiscall =
        GeneralButton("SpeedHiscall", QStringLiteral("His de My"),
                      QStringLiteral("Send HisCall de Mycall"), &H::MenuSendHiscalldeMycallClick);
    SpeedRxClear = GeneralButton("SpeedRxClear", QStringLiteral("Clear RX"),
                                 QStringLiteral("Clear Rx Screen"), &H::MenuClearRxScreenClick);
    SpeedTxClear = GeneralButton("SpeedTxClear", QStringLiteral("Clear TX"),
                                 QStringLiteral("Clear Tx Screen"), &H::MenuClearTxScreenClick);
    OpenLogFile = GeneralButton("OpenLogFile", QStringLiteral("Open log"),
                                QStringLiteral("Open Log File"), &H::OpenLogFileClick);
    XmitFile = GeneralButton("XmitFile", QStringLiteral("Xmit file"),
                             QStringLiteral("Transmit a text File"), &H::MenuTransmitFileClick);
    ClearTransmitBuffer =
        GeneralButton("ClearTransmitBuffer", QStringLiteral("CLR"),
                      QStringLiteral("Clear Transmit Buffer"), &H::ClearTransmitBufferClick);
    SaveBuffer = GeneralButton("SaveBuffer", QStringLiteral("Save B."),
                               QStringLiteral("Save Receive Buffer"), &H::SaveBufferClick);
}

void THoofdForm::BuildWidgets() {
    auto* central = new QWidget(this);
    central->setObjectName(QStringLiteral("Client"));
    setCentralWidget(central);
    const Layout::Design d;

    BuildModeBar();
    BuildGeneralButtons();

    Receivebalk = new QLabel(QStringLiteral("Receive"), central);
    Receivebalk->setObjectName(QStringLiteral("Receivebalk"));
    Receivebalk->setAlignment(Qt::AlignCenter);
    Receivebalk->setFrameShape(QFrame::Panel);
    Receivebalk->setFrameShadow(QFrame::Raised);
    Receivebalk->setAutoFillBackground(true);
    Receivebalk->resize(width(), d.receiveBarHeight);
    Versie = new QLabel(Receivebalk);
    Versie->setObjectName(QStringLiteral("Versie"));
    Versie->setGeometry(0, 2, d.versieWidth, d.receiveBarHeight - 4);

    auto* receiveWindow = new TTextWindow(central);
    // Not read-only: the operator may paste text into the receive buffer.
    receiveWindow->SetPasteAllowed(true);
    ReceiveWindow = receiveWindow;
    ReceiveWindow->setObjectName(QStringLiteral("ReceiveWindow"));
    ReceiveWindow->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    ReceiveWindow->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    ReceiveWindow->setUndoRedoEnabled(false);
    ReceiveWindow->installEventFilter(this);
    ReceiveWindow->viewport()->installEventFilter(this);

    Transmitbalk = new TBar(central);
    Transmitbalk->setObjectName(QStringLiteral("Transmitbalk"));
    Transmitbalk->setText(QStringLiteral("Commands & Transmit"));
    Transmitbalk->setAlignment(Qt::AlignCenter);
    Transmitbalk->setFrameShape(QFrame::Panel);
    Transmitbalk->setFrameShadow(QFrame::Raised);
    Transmitbalk->setAutoFillBackground(true);
    Transmitbalk->resize(width(), d.receiveBarHeight);
    Transmitbalk->OnPress = [this] { TransmitbalkMouseDown(); };
    Transmitbalk->OnMove = [this](int y) { TransmitbalkMouseMove(y); };
    Transmitbalk->OnRelease = [this] { TransmitbalkMouseUp(); };
    XOnLed = Lamp(Transmitbalk, "XOnLed", QStringLiteral("Xon"), QString());
    LeesLed = Lamp(Transmitbalk, "LeesLed", QStringLiteral("Disk"), QString());
    LogLed = Lamp(Transmitbalk, "LogLed", QStringLiteral("Log"), QStringLiteral("No Log File"));
    V24DataLed = Lamp(Transmitbalk, "V24DataLed", QStringLiteral("Data"), QString());

    ZendWindow = new TTextWindow(central);
    ZendWindow->setObjectName(QStringLiteral("ZendWindow"));
    ZendWindow->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    ZendWindow->setUndoRedoEnabled(false);
    // Three empty lines at start; Tab is typed as text, and the Tab key
    // never brings the focus here (clicks and the program do).
    ZendWindow->setPlainText(QStringLiteral("\n\n"));
    ZendWindow->setTabChangesFocus(false);
    ZendWindow->setFocusPolicy(Qt::ClickFocus);
    // Nothing is pasted here: every character in this window went through
    // the keyboard path (Ctrl+V is a control key there, not a paste).
    ZendWindow->setFocus();               // the operator types here from the start
    ZendWindow->installEventFilter(this); // see eventFilter
    ZendWindow->viewport()->installEventFilter(this);

    // The hidden focus holder sits under the transmit bar.
    Temp = new QLineEdit(central);
    Temp->setObjectName(QStringLiteral("Temp"));
    Temp->setGeometry(0, 0, 20, 10);
    Temp->lower();
    // Nothing the operator does puts text into it: it only holds the focus.
    Temp->setReadOnly(true);
    Temp->installEventFilter(this);

    Statusbalk = new QFrame(central);
    Statusbalk->setObjectName(QStringLiteral("Statusbalk"));
    Statusbalk->setFrameShape(QFrame::NoFrame);
    const QStringList hints = {QStringLiteral("PTC Mode"),
                               QStringLiteral("SubMode"),
                               QStringLiteral("HisCall"),
                               QStringLiteral("Receive Status"),
                               QStringLiteral("Recv/Transm."),
                               QStringLiteral("Number of Char in Recv Buffer"),
                               QStringLiteral("Number of Char. in Databuffer"),
                               QStringLiteral("Port and Baudrate")};
    for (int i = 0; i < 8; ++i) {
        auto* pane = new TPane(Statusbalk);
        pane->setObjectName(QStringLiteral("Pane%1").arg(i + 1));
        pane->setToolTip(hints[i]);
        pane->setFrameShape(QFrame::Panel);
        pane->setFrameShadow(QFrame::Sunken);
        pane->setAutoFillBackground(true);
        pane->setIndent(2);
        Panes << pane;
    }
    Pane1 = Panes[0];
    Pane2 = Panes[1];
    Pane3 = Panes[2];
    Pane4 = Panes[3];
    Pane5 = Panes[4];
    Pane6 = Panes[5];
    Pane7 = Panes[6];
    Pane8 = Panes[7];
}
