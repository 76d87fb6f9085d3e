// Mode switching on the exact bytes it writes: the mode bar, the Mode menu
// and its keys, the dumb terminal, listening and standby, and the states of
// the mode-dependent menu items.
#include <QAction>
#include <QPlainTextEdit>
#include <QStyle>
#include <QTabBar>
#include <QToolButton>
#include <QtTest>

#include "FormFixture.h"
#include "HostCheckPeer.h"
#include "Pk232Model.h"
#include "shell/Widgets.h"

namespace {

const QByteArray kStandbyPactor = "\x01OPt\x17";
// Readying the controller before every switch: listen off in PACTOR terms,
// then escape, "DD" and a carriage return.
const QByteArray kReady = kStandbyPactor + "\x1B"
                                           "DD\r";
const QByteArray kToPactor = kReady + kStandbyPactor;
const QByteArray kToAmtor = kReady + "\x01OAM\x17";
const QByteArray kToRtty = kReady + "\x01OBA\x17";

THoofdForm& Shown(FormFixture& f) {
    f.WriteFile("Dervalo.INI", FormFixture::Settings());
    THoofdForm& form = f.Start();
    f.serial.ClearWritten();
    return form;
}

// Puts the form in a mode with a page showing, without raising anything.
void Put(THoofdForm& form, const QString& mode, int page) {
    form.st.ModeName = mode;
    const QSignalBlocker block(form.TabBalk);
    form.TabBalk->setCurrentIndex(page);
}

void ClickTab(THoofdForm& form, int page) {
    QTabBar* bar = form.TabBalk->tabBar();
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(page).center());
}

struct MenuStates {
    bool unpro, fec, baudot;
    QString yourCall;
};
MenuStates States(THoofdForm& form) {
    return {form.MenuUnpro->isEnabled(), form.MenuAmtorFec->isEnabled(),
            form.MenuBaudotTransmit->isEnabled(), form.MenuYourcall->text()};
}
#define COMPARE_STATES(form, u, f, b, call)                                                        \
    do {                                                                                           \
        const MenuStates s = States(form);                                                         \
        QCOMPARE(s.unpro, u);                                                                      \
        QCOMPARE(s.fec, f);                                                                        \
        QCOMPARE(s.baudot, b);                                                                     \
        QCOMPARE(s.yourCall, QString(call));                                                       \
    } while (0)

} // namespace

class ModesTest : public QObject {
    Q_OBJECT
private slots:
    void modeBarAsksBeforeThePageChanges();
    void tabOfTheCurrentModeSendsNothing();
    void pactorKeyWhilePactorDoesNothing();
    void rttyKeyLooksAtThePage();
    void amtorKeySwitchesTwiceAClickOnce();
    void pactorSwitchesWriteStandbyTwice();
    void rttyFromAnotherPageOnce();
    void dumbTerminalWaitsThenLeavesHostMode();
    void dumbTabWaitsToo();
    void listenAndStandby_data();
    void listenAndStandby();
    void nothingWhileConnected();
    void amtorWhileConnectedStopsAfterReadying();
    void leavingDumbClosesTheMaildropCheck();
    void menuItemStates();
    void closeReturnsToPactor();
    void modelFollowsTheSwitches();
};

void ModesTest::modeBarAsksBeforeThePageChanges() {
    TTabBalk bar;
    for (const char* caption : {"PACTOR", "AMTOR", "RTTY", "DUMB"})
        bar.addTab(new QWidget, QLatin1String(caption));
    bar.resize(400, 60);
    bar.show();
    QList<QPair<int, int>> seen; // new page, page showing at the time
    bar.OnChange = [&](int page) { seen.append({page, bar.currentIndex()}); };

    QTest::mouseClick(bar.tabBar(), Qt::LeftButton, {}, bar.tabBar()->tabRect(2).center());
    QCOMPARE(seen, (QList<QPair<int, int>>{{2, 0}}));
    QCOMPARE(bar.Page(), 2);

    // The page showing: nothing, by click or by the program.
    QTest::mouseClick(bar.tabBar(), Qt::LeftButton, {}, bar.tabBar()->tabRect(2).center());
    bar.SetPage(2);
    QCOMPARE(seen.size(), 1);

    bar.SetPage(1);
    QCOMPARE(seen.last(), qMakePair(1, 2));
    QCOMPARE(bar.Page(), 1);
    // A page that does not exist is not asked for.
    bar.SetPage(7);
    QCOMPARE(seen.size(), 2);

    // Keys that page through the notebook ask as well.
    QTest::keyClick(&bar, Qt::Key_Tab, Qt::ControlModifier);
    QCOMPARE(seen.last(), qMakePair(2, 1));
    QCOMPARE(bar.Page(), 2);
    // A right click changes nothing.
    QTest::mouseClick(bar.tabBar(), Qt::RightButton, {}, bar.tabBar()->tabRect(0).center());
    QCOMPARE(seen.size(), 3);
    QCOMPARE(bar.Page(), 2);
}

void ModesTest::tabOfTheCurrentModeSendsNothing() {
    FormFixture f;
    THoofdForm& form = Shown(f);
    // At the window's first size every tab is in sight, its caption whole
    // within the margins the style gives it; with room to spare the tabs
    // keep the style's own margins.
    QTabBar* tabs = form.TabBalk->tabBar();
    const auto whole = [&] {
        const int margin = tabs->style()->pixelMetric(QStyle::PM_TabBarTabHSpace, nullptr, tabs);
        for (int i = 0; i < tabs->count(); ++i)
            if (tabs->tabRect(i).width() < tabs->fontMetrics().horizontalAdvance(tabs->tabText(i)) + margin ||
                tabs->tabRect(i).right() >= tabs->width() || tabs->width() > form.TabBalk->width())
                return false;
        return tabs->count() == 9;
    };
    QVERIFY(whole());
    form.TabBalk->resize(2000, form.TabBalk->height());
    QVERIFY(whole());
    QVERIFY(!tabs->property(TTabBalk::kTabMarginProperty).isValid());

    Put(form, "AMTOR", 0);
    ClickTab(form, 1);
    QCOMPARE(form.TabBalk->Page(), 1);
    Put(form, "PACTOR", 0);
    ClickTab(form, 0);
    form.ZetTabNaar(0);
    QCOMPARE(f.Written(), QByteArray());
}

void ModesTest::pactorKeyWhilePactorDoesNothing() {
    FormFixture f;
    THoofdForm& form = Shown(f);
    for (int page = 0; page < 4; ++page) {
        Put(form, "PACTOR", page);
        form.MenuPactor->trigger();
        QCOMPARE(form.TabBalk->Page(), page);
    }
    QCOMPARE(f.Written(), QByteArray());
}

void ModesTest::rttyKeyLooksAtThePage() {
    FormFixture f;
    THoofdForm& form = Shown(f);
    Put(form, "AMTOR", 2);
    form.MenuRtty->trigger();
    QCOMPARE(f.Written(), QByteArray());
    QCOMPARE(form.st.ModeName, QString("AMTOR"));
}

void ModesTest::amtorKeySwitchesTwiceAClickOnce() {
    FormFixture f;
    THoofdForm& form = Shown(f);
    Put(form, "PACTOR", 0);
    form.MenuAmtor->trigger();
    // The page change switches, and readying has set the mode back to PACTOR
    // before the second call looks at it.
    QCOMPARE(f.Written(), kToAmtor + kToAmtor);
    QCOMPARE(form.TabBalk->Page(), 1);

    f.serial.ClearWritten();
    Put(form, "PACTOR", 0);
    ClickTab(form, 1);
    QCOMPARE(f.Written(), kToAmtor);
    QCOMPARE(form.TabBalk->Page(), 1);
}

void ModesTest::pactorSwitchesWriteStandbyTwice() {
    FormFixture f;
    THoofdForm& form = Shown(f);
    Put(form, "AMTOR", 1);
    form.MenuPactor->trigger();
    QCOMPARE(f.Written(), QByteArray("\x01OPt\x17\x1B"
                                     "DD\r\x01OPt\x17"));
    QCOMPARE(form.TabBalk->Page(), 0);

    f.serial.ClearWritten();
    Put(form, "RTTY", 2);
    ClickTab(form, 0);
    QCOMPARE(f.Written(), kToPactor);
    QCOMPARE(form.st.ModeName, QString("PACTOR"));
}

void ModesTest::rttyFromAnotherPageOnce() {
    FormFixture f;
    THoofdForm& form = Shown(f);
    Put(form, "PACTOR", 0);
    form.MenuRtty->trigger();
    QCOMPARE(f.Written(), kToRtty);
    QCOMPARE(form.st.ModeName, QString("RTTY"));
    QCOMPARE(form.TabBalk->Page(), 2);
    // The timers run again afterwards.
    QVERIFY(form.Schryfinterval.isActive());
    QVERIFY(form.StatusAanvraagTimer.isActive());
}

void ModesTest::dumbTerminalWaitsThenLeavesHostMode() {
    FormFixture f;
    THoofdForm& form = Shown(f);
    Put(form, "PACTOR", 0);
    form.st.HostModeActive = true;
    quint32 turnedAt = 0;
    connect(form.TabBalk, &QTabWidget::currentChanged, [&] { turnedAt = f.clock.TickCount(); });
    const quint32 start = f.clock.TickCount();
    form.MenuDumb->trigger();

    QVERIFY2(turnedAt - start >= 1000, qPrintable(QString::number(turnedAt - start)));
    QCOMPARE(form.TabBalk->Page(), form.TabBalk->indexOf(form.DumbPage));
    // Nothing goes out before the page has turned; then HOST mode ends and
    // a line feed and carriage return wake the command line.
    QCOMPARE(f.Written(), QByteArray("\x01OHON\x17\n\r"));
    QVERIFY(f.serial.WrittenLog().first().tick >= turnedAt);
    QVERIFY(form.st.DumbMode);
    QVERIFY(!form.st.HostModeActive);
    QCOMPARE(form.st.ModeName, QString("DUMB"));
    QCOMPARE(form.Transmitbalk->text(), QString("Commands"));
    QCOMPARE(form.Pane1->text(), QString("DUMB"));

    // Once there, F10 does not wait again.
    f.serial.ClearWritten();
    const quint32 again = f.clock.TickCount();
    form.MenuDumb->trigger();
    QCOMPARE(f.Written(), QByteArray("\x01OHON\x17\n\r"));
    QVERIFY(f.serial.WrittenLog().first().tick - again < 1000);
}

void ModesTest::dumbTabWaitsToo() {
    FormFixture f;
    THoofdForm& form = Shown(f);
    Put(form, "RTTY", 2);
    const quint32 start = f.clock.TickCount();
    ClickTab(form, form.TabBalk->indexOf(form.DumbPage));
    QCOMPARE(form.TabBalk->Page(), form.TabBalk->indexOf(form.DumbPage));
    QCOMPARE(f.Written(), QByteArray("\x01OHON\x17\n\r"));
    QVERIFY(f.serial.WrittenLog().first().tick - start >= 1000);
}

void ModesTest::listenAndStandby_data() {
    QTest::addColumn<QString>("mode");
    QTest::addColumn<QString>("link");
    QTest::addColumn<bool>("standby");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("purged");
    const QByteArray pt = "\x01OPt\x17", am = "\x01OAM\x17";
    QTest::newRow("listen on, PACTOR") << "PACTOR"
                                       << "" << false << QByteArray("\x01OPN\x17") << false;
    QTest::newRow("listen off, PACTOR") << "PACTOR"
                                        << "LISTEN" << false << pt << false;
    QTest::newRow("listen on, AMTOR") << "AMTOR"
                                      << "" << false << QByteArray("\x01OAL\x17") << false;
    QTest::newRow("listen off, AMTOR") << "AMTOR"
                                       << "LISTEN" << false << am << false;
    QTest::newRow("listen, RTTY") << "RTTY"
                                  << "R" << false << QByteArray() << false;
    QTest::newRow("listen, DUMB") << "DUMB"
                                  << "" << false << QByteArray() << false;
    QTest::newRow("standby, PACTOR listening") << "PACTOR"
                                               << "LISTEN" << true << pt + pt << true;
    QTest::newRow("standby, PACTOR") << "PACTOR"
                                     << "STANDBY" << true << pt << true;
    QTest::newRow("standby, AMTOR listening") << "AMTOR"
                                              << "LISTEN" << true << am + am << true;
    QTest::newRow("standby, RTTY") << "RTTY"
                                   << "R" << true << QByteArray("\x19") << false;
    QTest::newRow("standby, DUMB") << "DUMB"
                                   << "" << true << QByteArray() << true;
}

void ModesTest::listenAndStandby() {
    QFETCH(QString, mode);
    QFETCH(QString, link);
    QFETCH(bool, standby);
    QFETCH(QByteArray, bytes);
    QFETCH(bool, purged);
    FormFixture f;
    THoofdForm& form = Shown(f);
    form.st.ModeName = mode;
    form.st.LinkStateText = link;
    f.serial.FeedInput("\x01/late text\x17");
    const quint64 before = f.clock.Elapsed();
    if (standby)
        form.MenuStandby->trigger();
    else
        form.PactorListen->click();
    QCOMPARE(f.Written(), bytes);
    // Standby outside RTTY waits half a second, then drops what is waiting.
    // A command frame waits for its reply, reading (and showing) what comes
    // meanwhile; with nothing sent nothing is read.
    const bool framed = bytes.startsWith('\x01');
    QCOMPARE(f.serial.PendingInput().isEmpty(), purged || framed);
    if (framed) QVERIFY(form.ReceiveWindow->toPlainText().contains("late text"));
    if (purged) {
        QVERIFY(f.clock.Elapsed() - before >= 500);
        if (!bytes.isEmpty())
            QVERIFY(f.serial.WrittenLog().last().tick < f.clock.TickCount() - 500);
    } else if (!framed) {
        QCOMPARE(f.clock.Elapsed(), before);
    }
}

void ModesTest::nothingWhileConnected() {
    FormFixture f;
    THoofdForm& form = Shown(f);
    form.st.IsConnected = true;
    form.st.LinkStateText = "CONNECT";
    f.serial.FeedInput("kept");
    for (const char* mode : {"PACTOR", "AMTOR", "RTTY"}) {
        form.st.ModeName = mode;
        form.MenuToggleListen->trigger();
        form.MenuStandby->trigger();
        form.AmtorStb->click();
    }
    QCOMPARE(f.Written(), QByteArray());
    QCOMPARE(f.serial.PendingInput(), QByteArray("kept"));
}

void ModesTest::amtorWhileConnectedStopsAfterReadying() {
    FormFixture f;
    THoofdForm& form = Shown(f);
    form.SwitchToPactor();
    f.serial.ClearWritten();
    form.st.IsConnected = true;
    form.SwitchToAmtor();
    QCOMPARE(f.Written(), kReady);
    COMPARE_STATES(form, true, false, false, "Your Call");
}

void ModesTest::leavingDumbClosesTheMaildropCheck() {
    HostCheckPeer controller; // answers the HOST-mode check
    FormFixture f;
    f.serial.AttachPeer(&controller);
    THoofdForm& form = Shown(f);
    Put(form, "DUMB", form.TabBalk->indexOf(form.DumbPage));
    form.st.DumbMode = true;
    form.st.PkParametersLoaded = true;
    QVERIFY(form.MenuMaildropCheck->isCheckable());
    form.MenuMaildropCheck->setChecked(true);
    for (QToolButton* b : {form.MdcList, form.MdcRead, form.MdcWrite, form.MdcKill})
        b->setVisible(true);

    ClickTab(form, 0);
    // The mailbox dialogue ends first; then back into HOST mode and PACTOR.
    QCOMPARE(f.Written(),
             QByteArray("\rB\r") + "\x11\x18\x03hpoll off\rhost on\r\x01OGG\x17" + kToPactor);
    QVERIFY(!form.MenuMaildropCheck->isChecked());
    for (QToolButton* b : {form.MdcList, form.MdcRead, form.MdcWrite, form.MdcKill})
        QVERIFY(!b->isVisible());
    QVERIFY(!form.st.DumbMode);
    QVERIFY(form.st.HostModeActive);
    QCOMPARE(form.TabBalk->Page(), 0);
}

void ModesTest::menuItemStates() {
    FormFixture f;
    THoofdForm& form = Shown(f);
    COMPARE_STATES(form, true, true, true, "&Your call");
    form.SwitchToAmtor();
    COMPARE_STATES(form, false, true, false, "Your SelCall");
    form.SwitchToRtty();
    COMPARE_STATES(form, false, false, true, "Your SelCall");
    form.MenuDumbClick();
    COMPARE_STATES(form, false, false, true, "Your SelCall");
    form.SwitchToPactor();
    COMPARE_STATES(form, true, false, false, "Your Call");
    form.MenuDumbClick();
    COMPARE_STATES(form, true, false, false, "Your Call");

    // Start-up with the controller initialised ends in PACTOR, listening.
    FormFixture g;
    HostCheckPeer peer; // answers the plain lines and the HOST check
    g.serial.AttachPeer(&peer);
    g.WriteFile("Dervalo.INI", FormFixture::Settings("COM4", "9600", false, true));
    THoofdForm& started = g.Start();
    COMPARE_STATES(started, true, false, false, "Your Call");
    QVERIFY(g.Written().endsWith(kToPactor + "\x01OPN\x17"));
    g.serial.AttachPeer(nullptr);
}

void ModesTest::closeReturnsToPactor() {
    FormFixture f;
    THoofdForm& form = Shown(f);
    Put(form, "RTTY", 2);
    form.close();
    QCOMPARE(f.Written(), kToPactor);
    QCOMPARE(form.TabBalk->Page(), 0);
}

void ModesTest::modelFollowsTheSwitches() {
    // Against the simulated controller the status line shows what it
    // reports after each switch.
    FormFixture f;
    Pk232Model pk;
    pk.SetUnsolicitedTraffic(false);
    f.serial.AttachPeer(&pk);
    f.WriteFile("Dervalo.INI", FormFixture::Settings("COM1", "9600", false, true));
    THoofdForm& form = f.Start();
    auto run = [&](int ticks) {
        for (int i = 0; i < ticks; ++i) {
            form.StatusAanvraagTimerTimer();
            for (int j = 0; j < 5; ++j) {
                f.clock.Advance(113);
                form.SchryfintervalTimer();
            }
        }
    };
    run(2);
    QCOMPARE(form.Pane1->text(), QString("PACTOR"));
    QCOMPARE(form.Pane2->text(), QString("LISTEN"));

    form.MenuAmtor->trigger();
    run(2);
    QCOMPARE(pk.ModeCode(), QByteArray("AM"));
    QCOMPARE(form.Pane1->text(), QString("AMTOR"));
    form.MenuToggleListen->trigger();
    run(2);
    QCOMPARE(pk.ModeCode(), QByteArray("AL"));
    QCOMPARE(form.Pane2->text(), QString("LISTEN"));

    form.MenuRtty->trigger();
    run(2);
    QCOMPARE(form.Pane1->text(), QString("RTTY"));
    form.MenuPactor->trigger();
    run(2);
    QCOMPARE(pk.ModeCode(), QByteArray("Pt"));
    QCOMPARE(form.Pane1->text(), QString("PACTOR"));
}

QTEST_MAIN(ModesTest)
#include "tst_modes.moc"
