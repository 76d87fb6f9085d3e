// The rig through Hamlib against the real daemon: `rigctld -m 1` (Hamlib's
// dummy rig) on a free port, its frequency set with `rigctl`. The status
// line shows it, a contact logged then carries FREQ and BAND, and a daemon
// that goes away shows "Rig: no answer" without holding the window.
#include <QProcess>
#include <QTcpServer>
#include <QtTest>

#include "../logbook/AdiReader.h"
#include "FormFixture.h"
#include "LogBookSupport.h"
#include "logbook/LogBookInvulForm.h"
#include "logbook/LogBookWidgets.h"
#include "shell/Widgets.h"

using namespace LogBookSupport;

namespace {
quint16 FreePort() {
    QTcpServer s;
    s.listen(QHostAddress::LocalHost, 0);
    return s.serverPort();
}
QString RigPaneText(THoofdForm& form) {
    auto* pane = form.findChild<QLabel*>("RigPane");
    return pane && pane->isVisibleTo(&form) ? pane->text() : QString();
}
} // namespace

class RigctldTest : public QObject {
    Q_OBJECT
private slots:
    void frequencyOnTheStatusLineAndInTheJournal();
};

void RigctldTest::frequencyOnTheStatusLineAndInTheJournal() {
    const quint16 port = FreePort();
    QProcess daemon;
    daemon.start("rigctld", {"-m", "1", "-T", "127.0.0.1", "-t", QString::number(port)});
    QVERIFY2(daemon.waitForStarted(5000), "rigctld (libhamlib-utils) is needed");
    // The daemon listens once its port takes a connection.
    QTRY_VERIFY_WITH_TIMEOUT(
        [port] {
            QTcpSocket probe;
            probe.connectToHost(QHostAddress::LocalHost, port);
            return probe.waitForConnected(200);
        }(),
        10000);
    QCOMPARE(QProcess::execute("rigctl", {"-m", "2", "-r", QStringLiteral("127.0.0.1:%1").arg(port),
                                          "F", "14070500"}),
             0);

    FormFixture f;
    f.WriteFile("Dervalo-extra.ini",
                QStringLiteral("Rig=rigctld:127.0.0.1:%1\r\n").arg(port).toLatin1());
    THoofdForm& form = StartWithLogBook(f);
    QTRY_COMPARE_WITH_TIMEOUT(RigPaneText(form), QString("14.0705 MHz  20m"), 10000);

    TLogBookInvulForm& e = *form.LogBookInvulForm;
    e.DatumEnTyd();
    e.CallEdit->setText("PA3XYZ");
    e.LogInvulSaveKnopClick();
    const QByteArray journal = f.ReadFile("Dervalo.adi");
    QVERIFY2(journal.contains("<FREQ:9>14.070500") && journal.contains("<BAND:3>20m"),
             journal.constData());
    QVERIFY(ReadAdi(journal).error.isEmpty());

    // The daemon goes: the pane says so.
    daemon.kill();
    daemon.waitForFinished(5000);
    QTRY_COMPARE_WITH_TIMEOUT(RigPaneText(form), QString("Rig: no answer"), 10000);
}

QTEST_MAIN(RigctldTest)
#include "tst_rigctld.moc"
