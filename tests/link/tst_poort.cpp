#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <fcntl.h>
#include <sys/ioctl.h>
#include <functional>
#include <memory>
#include <poll.h>
#include <stdlib.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

#include "PtyMaster.h"
#include "ScriptedPrompts.h"
#include "link/MemorySerialBackend.h"
#include "link/Poort.h"
#include "link/LineBackend.h"
#include "link/SerialPeer.h"
#include "link/Settings.h"
#include "shell/Clock.h"

namespace {

const QString kPortError = QStringLiteral("Warning|Port Error");

// A pseudo-terminal hands bytes over a little later: poll in 1 ms steps,
// for at most about two seconds.
bool WaitUntil(const std::function<bool()>& done) {
    for (int i = 0; i < 2000 && !done(); ++i)
        ::poll(nullptr, 0, 1);
    return done();
}

void OpenPoort(Poort& poort, const QString& name, quint16 baud) {
    poort.PoortOpen(name);
    poort.PoortSetState(baud);
    poort.PoortSetTimeouts();
}

// Notes whether a port operation was in progress at each box.
class BusyWatchingPrompts : public ScriptedPrompts {
public:
    Poort* poort = nullptr;
    QList<bool> busyAtBox;
    Answer MessageBox(const QString& text, const QString& caption, Buttons buttons) override {
        busyAtBox << poort->PortBusy();
        return ScriptedPrompts::MessageBox(text, caption, buttons);
    }
};

// Answers every byte with the byte plus one, `lag` ms later.
class LaggingEcho : public SerialPeer {
public:
    explicit LaggingEcho(quint32 lag) : lag_(lag) {}
    QList<quint32> heardAt;
    quint32 lastTick = 0;
    void FromHost(quint8 byte, quint32 nowMs) override {
        heardAt << nowMs;
        pending_.append({quint8(byte + 1), nowMs + lag_});
    }
    void Tick(quint32 nowMs) override { lastTick = nowMs; }
    QByteArray ToHost(quint32 nowMs) override {
        QByteArray out;
        while (!pending_.isEmpty() && pending_.first().second <= nowMs)
            out.append(char(pending_.takeFirst().first));
        return out;
    }

private:
    quint32 lag_;
    QList<QPair<quint8, quint32>> pending_;
};

} // namespace

class TestPoort : public QObject {
    Q_OBJECT

private slots:
    void comNamesMapToUarts();
    void ptyLineSettingsAndBytes();
    void ptyExclusiveHangUpAndReopen();
    void ptyWritesNeverWait();
    void missingDeviceBoxes();
    void namesNoDeviceCanHaveFailCleanly();
    void memoryLogReadsAndPeer();
    void memoryFailureSwitches();
    void portErrorSaysWhy();
};

void TestPoort::comNamesMapToUarts() {
    QCOMPARE(LineBackend::DevicePath("COM1"), QString("/dev/ttyS0"));
    QCOMPARE(LineBackend::DevicePath("com4"), QString("/dev/ttyS3"));
    QCOMPARE(LineBackend::DevicePath("COM5"), QString("/dev/COM5"));
    QCOMPARE(LineBackend::DevicePath("ttyUSB0"), QString("/dev/ttyUSB0"));
    QCOMPARE(LineBackend::DevicePath("/tmp/pk/line"), QString("/tmp/pk/line"));
}

void TestPoort::ptyLineSettingsAndBytes() {
    PtyMaster master;
    QVERIFY(master.Ok());
    LineBackend backend;
    ScriptedPrompts prompts;
    Poort poort(backend, prompts);
    QCOMPARE(poort.PoortBytesAvailable(), 0);

    OpenPoort(poort, master.SlavePath(), 4800);
    QVERIFY(poort.PortOpen());
    QVERIFY(!poort.PortBusy());
    termios tio{};
    QVERIFY(master.SlaveSettings(tio));
    QCOMPARE(tio.c_cflag & (CSIZE | PARENB | CSTOPB | CRTSCTS), tcflag_t(CS8));
    QCOMPARE(tio.c_iflag & (IXON | IXOFF | ICRNL | INLCR | IGNCR | ISTRIP), tcflag_t(0));
    QCOMPARE(tio.c_oflag & OPOST, tcflag_t(0));
    QCOMPARE(tio.c_lflag & (ICANON | ECHO | ISIG), tcflag_t(0));
    QCOMPARE(cfgetospeed(&tio), speed_t(B4800));
    poort.PoortSetState(7); // a rate outside the standard table
    poort.PoortSetState(65535);
    QVERIFY(prompts.log.isEmpty());
    QCOMPARE(poort.TakeFailures(), 0);

    // Nothing waiting: nothing read, the count stays as given.
    char block[16] = {'-', '-', '-', '-', '-'};
    quint16 count = 5;
    QCOMPARE(poort.PoortReadBlock(block, count), quint16(5));
    QCOMPARE(QByteArray(block, 5), QByteArray("-----"));
    quint8 byte = 0;
    QVERIFY(!poort.PoortReadByte(byte));

    // Every byte value passes both ways untouched. Handling events must not
    // take waiting bytes away from the count.
    const QByteArray in("\x01OOP\x17\r\n\x11\x13\x03\x7f\xff\x00", 13);
    QVERIFY(master.Send(in));
    QVERIFY(WaitUntil([&] { return poort.PoortBytesAvailable() == in.size(); }));
    QCoreApplication::processEvents();
    QCOMPARE(poort.PoortBytesAvailable(), qint32(in.size()));
    QCOMPARE(poort.PoortReadBlock(block, count), quint16(5));
    QCOMPARE(QByteArray(block, 5), in.left(5));
    count = 16;
    QCOMPARE(poort.PoortReadBlock(block, count), quint16(8));
    QCOMPARE(QByteArray(block, 8), in.mid(5));
    QCOMPARE(poort.PoortBytesAvailable(), 0);

    const QByteArray out("\x01OHO\r\n\x11\x13\x00\xff\x17", 11);
    for (char c : out)
        QVERIFY(poort.PoortWriteByte(quint8(c)));
    QCOMPARE(master.Receive(out.size()), out);

    // Purging drops what came in; what was written still goes out.
    QVERIFY(master.Send("stale"));
    QVERIFY(WaitUntil([&] { return poort.PoortBytesAvailable() == 5; }));
    for (char c : QByteArray("xyz"))
        QVERIFY(poort.PoortWriteByte(quint8(c)));
    poort.PoortPurgeInput();
    QCOMPARE(poort.PoortBytesAvailable(), 0);
    QCOMPARE(master.Receive(3), QByteArray("xyz"));
    QVERIFY(master.Send("d"));
    QVERIFY(WaitUntil([&] { return poort.PoortBytesAvailable() == 1; }));
    QVERIFY(poort.PoortReadByte(byte));
    QCOMPARE(byte, quint8('d'));
}

void TestPoort::ptyExclusiveHangUpAndReopen() {
    QTemporaryDir dir;
    const QString link = dir.filePath(QStringLiteral("pk232"));
    auto first = std::make_unique<PtyMaster>();
    QVERIFY(first->Ok());
    QVERIFY(QFile::link(first->SlavePath(), link));
    LineBackend backend, rival;
    ScriptedPrompts prompts;
    Poort poort(backend, prompts), other(rival, prompts);
    OpenPoort(poort, link, 9600);
    QVERIFY(prompts.log.isEmpty());

    // The device is not shared.
    other.PoortOpen(first->SlavePath());
    // The terminal's exclusive mode refuses a second opener, or for root the
    // lock does.
    const QString busy = kPortError + "\n" + first->SlavePath() + ": ";
    QCOMPARE(prompts.Boxes().size(), 1);
    QVERIFY2(prompts.Boxes()[0] == busy + "Device or resource busy" ||
                 prompts.Boxes()[0] == busy + "in use by another program",
             qPrintable(prompts.Boxes()[0]));
    QVERIFY(!other.PortOpen());
    prompts.log.clear();

    QVERIFY(first->Send("left behind"));
    QVERIFY(WaitUntil([&] { return poort.PoortBytesAvailable() > 0; }));
    // The far side goes away: writes fail, nothing counts as waiting and
    // reads come back empty rather than spinning.
    // What came before is still read (nothing is lost), then nothing more.
    first.reset();
    QVERIFY(WaitUntil([&] {
        poort.PoortBytesAvailable();
        return poort.LineDown();
    }));
    QVERIFY(!poort.PoortWriteByte('b'));
    char rest[16];
    quint16 restCount = sizeof rest;
    QCOMPARE(poort.PoortReadBlock(rest, restCount), quint16(11));
    QCOMPARE(poort.PoortBytesAvailable(), 0);
    quint8 byte = 0;
    for (int i = 0; i < 100; ++i)
        QVERIFY(!poort.PoortReadByte(byte));
    QCoreApplication::processEvents();

    // A new line appears under the same name; reopening it works.
    PtyMaster second;
    QVERIFY(second.Ok());
    QVERIFY(QFile::remove(link) && QFile::link(second.SlavePath(), link));
    OpenPoort(poort, link, 9600);
    QVERIFY(prompts.log.isEmpty());
    QVERIFY(poort.PoortWriteByte('c'));
    QCOMPARE(second.Receive(1), QByteArray("c"));
    QVERIFY(second.Send("z"));
    QVERIFY(WaitUntil([&] { return poort.PoortBytesAvailable() == 1; }));
    QVERIFY(poort.PoortReadByte(byte));
    QCOMPARE(byte, quint8('z'));

    // Held exclusively while open; closed, the line is free again for an
    // ordinary user too: the terminal's exclusive mode, seen through a
    // descriptor of its own, is off.
    const auto exclusive = [&] {
        const int fd = ::open(QFile::encodeName(second.SlavePath()).constData(),
                              O_RDWR | O_NOCTTY | O_NONBLOCK);
        int on = -1;
        const bool asked = fd >= 0 && ::ioctl(fd, TIOCGEXCL, &on) == 0;
        if (fd >= 0) ::close(fd);
        return asked ? on : -1;
    };
    QCOMPARE(exclusive(), 1);
    poort.PoortClose();
    QCOMPARE(exclusive(), 0);
    OpenPoort(poort, link, 9600);
    QVERIFY(poort.PortOpen());
    QVERIFY(prompts.log.isEmpty());
}

void TestPoort::ptyWritesNeverWait() {
    // More than the line's own queue holds, read out slowly on the far
    // side: every write hands its byte over and returns, none counts as a
    // port error, and every byte arrives in order as the line takes them.
    // RTS and DTR stay up throughout.
    PtyMaster master;
    QVERIFY(master.Ok());
    LineBackend backend;
    ScriptedPrompts prompts;
    Poort poort(backend, prompts);
    OpenPoort(poort, master.SlavePath(), 38400);
    QVERIFY(backend.Rts() && backend.Dtr());

    QByteArray sent;
    for (int i = 0; i < 60000; ++i)
        sent += char('A' + i % 26 + (i % 2600 == 0 ? 32 : 0));
    for (char c : sent)
        QVERIFY(poort.PoortWriteByte(quint8(c)));
    QVERIFY(backend.Unsent() > 0); // the far side has not read yet
    QByteArray got;
    std::atomic<bool> done{false};
    std::thread reader([&] {
        // A slow reader: at most 4 KB every 20 ms, for at most a minute.
        const auto until = std::chrono::steady_clock::now() + std::chrono::minutes(1);
        while (got.size() < sent.size() && std::chrono::steady_clock::now() < until) {
            ::poll(nullptr, 0, 20);
            got += master.Receive(int(qMin<qsizetype>(4096, sent.size() - got.size())));
        }
        done = true;
    });
    // No events run: the backend's own calls move the bytes on.
    while (!done) {
        poort.PoortBytesAvailable();
        ::poll(nullptr, 0, 1);
    }
    reader.join();
    QCOMPARE(got.size(), sent.size());
    QVERIFY(got == sent);
    QVERIFY(poort.LineMoving() && !poort.LineDown());
    QVERIFY(backend.Rts() && backend.Dtr());
    QVERIFY(prompts.log.isEmpty());
    poort.PoortClose();
    QVERIFY(!backend.Rts() && !backend.Dtr());

    // A far side that never reads: the writes still return at once; the
    // buffer is bounded, and a line that takes nothing for the stall time
    // has failed, with what it never sent counted once.
    PtyMaster deaf;
    QVERIFY(deaf.Ok());
    backend.SetStallMs(300);
    OpenPoort(poort, deaf.SlavePath(), 38400);
    int refused = 0;
    for (int i = 0; i < 200 && refused == 0; ++i)
        refused += poort.PoortWrite(QByteArray(4096, 'x')) ? 0 : 1;
    QVERIFY(refused > 0);
    QVERIFY(backend.Unsent() <= LineBackend::kOutLimit);
    QVERIFY(WaitUntil([&] {
        poort.PoortBytesAvailable();
        return poort.LineDown();
    }));
    QVERIFY(!poort.PoortWriteByte('y'));
    QVERIFY(poort.TakeLost() > 0);
    QCOMPARE(poort.TakeLost(), 0u);
    QCOMPARE(backend.LastError().reason, QString("the line has taken no byte for 0.3 s"));
    // Opened again, it works again.
    OpenPoort(poort, master.SlavePath(), 38400);
    QVERIFY(!poort.LineDown() && poort.PoortWriteByte('z'));
    QCOMPARE(master.Receive(1), QByteArray("z"));
}

void TestPoort::missingDeviceBoxes() {
    LineBackend backend;
    BusyWatchingPrompts prompts;
    Poort poort(backend, prompts);
    prompts.poort = &poort;

    OpenPoort(poort, QStringLiteral("/dev/dervalo-no-such-line"), 9600);
    // The failed open says why, once; the steps after it fail without a
    // box of their own, but count.
    QCOMPARE(prompts.Boxes(),
             QStringList(1, kPortError + "\n/dev/dervalo-no-such-line: No such file or directory"));
    QCOMPARE(prompts.busyAtBox, QList<bool>(1, true));
    QVERIFY(!poort.PortBusy());
    QVERIFY(!poort.PortOpen());
    QCOMPARE(poort.TakeFailures(), 2);
    QCOMPARE(poort.TakeFailures(), 0);

    // Nothing open: everything else fails without a word.
    QCOMPARE(poort.PoortBytesAvailable(), 0);
    QVERIFY(!poort.PoortWriteByte(0x01));
    quint8 byte = 0;
    QVERIFY(!poort.PoortReadByte(byte));
    char block[4];
    quint16 count = 4;
    QCOMPARE(poort.PoortReadBlock(block, count), quint16(4));
    QCOMPARE(poort.PoortReadBlock(nullptr, count), quint16(4));
    poort.PoortPurgeInput();
    poort.PoortClose();
    QCOMPARE(prompts.Boxes().size(), 1);

    // Quiet: failures are counted, not shown.
    poort.SetQuiet(true);
    OpenPoort(poort, QStringLiteral("dervalo-no-such-line"), 9600);
    QCOMPARE(prompts.Boxes().size(), 1);
    QCOMPARE(poort.TakeFailures(), 2);
}

void TestPoort::namesNoDeviceCanHaveFailCleanly() {
    for (const QString& name :
         {QString(), QStringLiteral("tty\tS0"), QStringLiteral("ttyS0\x7f"),
          QStringLiteral("/dev/ttyS0") + QChar(0) + QStringLiteral("x"), QString(5000, 'a')})
        QVERIFY2(LineBackend::DevicePath(name).isEmpty(), qPrintable(name.left(20)));

    // Line 2 of the settings file holds a NUL and control bytes.
    SettingsFields fields;
    ApplyBuiltInDefaults(fields);
    QByteArray file = FormatSettings(fields);
    const QByteArray bad("dervalo-pk\0\x01\x1b[2J", 15);
    QVERIFY(file.contains("\r\nCOM4\r\n"));
    file.replace("\r\nCOM4\r\n", "\r\n" + bad + "\r\n");
    quint8 status = 0;
    QVERIFY(ParseSettings(file, fields, status));
    QCOMPARE(fields.StoredPortName.size(), bad.size());

    // Serial libraries lock a device with a file named after it; one left
    // from an earlier run, for the name cut at its NUL, must not matter.
    const QDir locks(QStringLiteral("/run/lock"));
    const QString stale = locks.filePath(QStringLiteral("LCK..dervalo-pk"));
    QFile planted(stale);
    const bool plantedOk = locks.exists() && !QFile::exists(stale) &&
                           planted.open(QIODevice::WriteOnly) &&
                           planted.write("99999999\ndervalo\n\n") > 0;
    planted.close();
    const QStringList before = locks.entryList({QStringLiteral("LCK..*")}, QDir::Files);

    LineBackend backend;
    ScriptedPrompts prompts;
    Poort poort(backend, prompts);
    for (int start = 0; start < 2; ++start) {
        poort.PoortOpen(fields.StoredPortName);
        QVERIFY(!poort.PortOpen());
    }
    QCOMPARE(prompts.Boxes(),
             QStringList(2, kPortError + "\ndervalo-pk\\x00\\x01\\x1b[2: not a device path"));
    QCOMPARE(locks.entryList({QStringLiteral("LCK..*")}, QDir::Files), before);
    if (plantedOk) QVERIFY(QFile::remove(stale));

    // A line opens whatever lock files lie about.
    PtyMaster master;
    QVERIFY(master.Ok());
    QString lockName = master.SlavePath().mid(5); // after "/dev/"
    const QString forLine = locks.filePath("LCK.." + lockName.replace('/', '_'));
    QFile other(forLine);
    const bool otherOk = locks.exists() && !QFile::exists(forLine) &&
                         other.open(QIODevice::WriteOnly) && other.write("1\nsomebody\n\n") > 0;
    other.close();
    OpenPoort(poort, master.SlavePath(), 9600);
    QVERIFY(poort.PortOpen());
    QCOMPARE(prompts.Boxes().size(), 2);
    if (otherOk) QVERIFY(QFile::remove(forLine));
}

void TestPoort::memoryLogReadsAndPeer() {
    VirtualClock clock;
    MemorySerialBackend backend(&clock);
    ScriptedPrompts prompts;
    Poort poort(backend, prompts);
    OpenPoort(poort, "COM2", 9600);
    QCOMPARE(backend.Baud(), quint16(9600));

    const quint32 t0 = clock.TickCount();
    QVERIFY(poort.PoortWriteByte(0x01));
    clock.Advance(5);
    QVERIFY(poort.PoortWriteByte(0x17));
    QCOMPARE(backend.WrittenBytes(), QByteArray("\x01\x17"));
    QCOMPARE(backend.WrittenLog()[1].tick, t0 + 5);

    // An empty read costs the 1 ms read time-out; a block read with nothing
    // waiting reads nothing and costs nothing.
    quint8 byte = 0;
    QVERIFY(!poort.PoortReadByte(byte));
    QCOMPARE(clock.TickCount(), t0 + 6);
    char block[8] = {};
    quint16 count = 8;
    QCOMPARE(poort.PoortReadBlock(block, count), quint16(8));
    QCOMPARE(clock.TickCount(), t0 + 6);
    backend.FeedInput("hello");
    count = 3;
    QCOMPARE(poort.PoortReadBlock(block, count), quint16(3));
    QCOMPARE(QByteArray(block, 3), QByteArray("hel"));
    poort.PoortPurgeInput();
    QCOMPARE(poort.PoortBytesAvailable(), 0);

    LaggingEcho peer(3);
    backend.AttachPeer(&peer);
    const quint32 t1 = clock.TickCount();
    QVERIFY(poort.PoortWriteByte('A'));
    QCOMPARE(peer.heardAt, QList<quint32>{t1});
    QCOMPARE(poort.PoortBytesAvailable(), 0);
    QCOMPARE(peer.lastTick, t1);
    clock.Advance(2);
    // The answer comes during the read's 1 ms wait and is taken by it.
    QVERIFY(poort.PoortReadByte(byte));
    QCOMPARE(byte, quint8('B'));
    QVERIFY(poort.PoortWriteByte('C'));
    clock.Advance(3);
    poort.PoortPurgeInput();
    QCOMPARE(poort.PoortBytesAvailable(), 0);

    // A second open closes the first handle; without a clock time stands at 0.
    poort.PoortOpen("COM3");
    QCOMPARE(backend.CloseCount(), 1);
    MemorySerialBackend timeless;
    QVERIFY(timeless.Open("COM1") && timeless.Write("\x42"));
    QCOMPARE(timeless.WrittenLog()[0].tick, 0u);
    QVERIFY(!timeless.ReadByte(byte));
    QVERIFY(prompts.log.isEmpty());
}

void TestPoort::memoryFailureSwitches() {
    MemorySerialBackend backend;
    ScriptedPrompts prompts;
    Poort poort(backend, prompts);
    LaggingEcho peer(0);
    backend.AttachPeer(&peer);
    backend.SetMissingDevices({"COM3"});
    OpenPoort(poort, "COM3", 9600);
    QCOMPARE(prompts.Boxes(), QStringList(1, kPortError));

    // Failing set-up steps show one box each and leave the line as it was.
    OpenPoort(poort, "COM1", 9600);
    backend.SetFailState(true);
    poort.PoortSetState(4800);
    poort.PoortSetTimeouts(); // does nothing, fails never
    QCOMPARE(prompts.Boxes(), QStringList(2, kPortError));
    QCOMPARE(backend.Baud(), quint16(9600));
    QVERIFY(poort.PortOpen());

    // Failing writes reach neither the log nor the peer.
    backend.SetFailWrites(2);
    QVERIFY(!poort.PoortWriteByte('1'));
    QVERIFY(!poort.PoortWriteByte('2'));
    QVERIFY(poort.PoortWriteByte('3'));
    backend.SetFailWrites(-1);
    for (int i = 0; i < 5; ++i)
        QVERIFY(!poort.PoortWriteByte('4'));
    backend.SetFailWrites(0);
    QVERIFY(poort.PoortWriteByte('5'));
    QCOMPARE(backend.WrittenBytes(), QByteArray("35"));
    QCOMPARE(peer.heardAt.size(), 2);
}

void TestPoort::portErrorSaysWhy() {
    const QString dialout = QStringLiteral(
        "\nAdd your user to the group dialout (sudo adduser $USER dialout) and log in again.");
    MemorySerialBackend backend;
    ScriptedPrompts prompts;
    Poort poort(backend, prompts);
    // A device that is not ours to open (the tests run as root, which is
    // never refused).
    backend.SetMissingDevices({"/dev/ttyUSB0"});
    backend.SetFailureErrno(EACCES);
    poort.PoortOpen("/dev/ttyUSB0");
    QCOMPARE(prompts.Boxes(),
             QStringList{kPortError + "\n/dev/ttyUSB0: Permission denied" + dialout});
    // A step after a good open names itself; a backend that gives no reason
    // leaves the words alone.
    prompts.log.clear();
    poort.PoortOpen("/dev/ttyUSB1");
    backend.SetFailState(true);
    backend.SetFailureErrno(EIO);
    poort.PoortSetState(9600);
    backend.SetFailureErrno(0);
    poort.PoortSetState(9600);
    QCOMPARE(prompts.Boxes(),
             QStringList({kPortError + "\n/dev/ttyUSB1: setting the line: Input/output error",
                          kPortError}));
    QCOMPARE(Poort::PortErrorText({"/dev/ttyS0", {}, EPERM, "Operation not permitted"}),
             "Port Error\n/dev/ttyS0: Operation not permitted" + dialout);

    // A file that is no terminal line.
    QTemporaryDir dir;
    QFile plain(dir.filePath("plain"));
    QVERIFY(plain.open(QIODevice::WriteOnly));
    plain.close();
    LineBackend real;
    Poort realPoort(real, prompts);
    prompts.log.clear();
    realPoort.PoortOpen(plain.fileName());
    QCOMPARE(prompts.Boxes(),
             QStringList{kPortError + "\n" + plain.fileName() + ": not a serial device"});
}

QTEST_GUILESS_MAIN(TestPoort)
#include "tst_poort.moc"
