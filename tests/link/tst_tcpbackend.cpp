// The line over the network: the "tcp:HOST:PORT" name, a malformed address
// in the "Port Error" box and a refused one failing the line, the hold-off
// after a failed connection, bytes both ways, and the two ways a connection
// ends for the writer: the other end closing, and the other end no longer
// reading; a name server that does not answer holds nothing up.
#include <QThread>
#include <QtTest>

#include <arpa/inet.h>
#include <sys/mount.h>

#include <netinet/in.h>
#include <sys/socket.h>
#include <functional>
#include <poll.h>
#include <unistd.h>

#include "ScriptedPrompts.h"
#include "SmallFs.h"
#include "link/LineBackend.h"
#include "link/Poort.h"
#include "link/TcpName.h"

namespace {

// Why this program cannot mount; empty when it can.
QString g_mountProblem;

// A listening socket on 127.0.0.1 (port 0: any free one).
struct Listener {
    int fd = -1;
    quint16 port = 0;
    explicit Listener(quint16 at = 0, int receiveBuffer = 0) {
        fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        const int on = 1;
        ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
        if (receiveBuffer > 0)
            ::setsockopt(fd, SOL_SOCKET, SO_RCVBUF, &receiveBuffer, sizeof receiveBuffer);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        a.sin_port = htons(at);
        socklen_t len = sizeof a;
        if (::bind(fd, reinterpret_cast<sockaddr*>(&a), len) != 0 || ::listen(fd, 1) != 0 ||
            ::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len) != 0) {
            ::close(fd);
            fd = -1;
            return;
        }
        port = ntohs(a.sin_port);
    }
    ~Listener() { Close(); }
    void Close() {
        if (fd >= 0) ::close(fd);
        fd = -1;
    }
    int Accept() const { return ::accept4(fd, nullptr, nullptr, SOCK_CLOEXEC); }
    QString Name() const { return QStringLiteral("tcp:127.0.0.1:%1").arg(port); }
};

// Lets the line move its bytes (as any call of it does) until `done`, for at
// most about five seconds; no event is handled.
bool PumpUntil(LineBackend& line, const std::function<bool()>& done) {
    for (int i = 0; i < 5000 && !done(); ++i) {
        line.BytesAvailable();
        ::poll(nullptr, 0, 1);
    }
    return done();
}

// A port nobody listens on: one that was free a moment ago.
quint16 RefusedPort() {
    Listener l;
    return l.port;
}

} // namespace

class TcpBackendTest : public QObject {
    Q_OBJECT
private slots:
    void names_data();
    void names();
    void refusedAndMalformedInThePortErrorBox();
    void failedConnectionIsHeldOffForAWhile();
    void bytesBothWaysUntilTheOtherEndCloses();
    void writerGivesUpOnAnEndThatDoesNotRead();
    void nameServerThatDoesNotAnswer();
};

void TcpBackendTest::names_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("host"); // empty: malformed
    QTest::addColumn<int>("port");
    QTest::addColumn<QString>("reason");
    QTest::newRow("name") << "tcp:pk232.local:4001"
                          << "pk232.local" << 4001 << "";
    QTest::newRow("ipv4") << "TCP:192.168.1.20:2000"
                          << "192.168.1.20" << 2000 << "";
    QTest::newRow("ipv6") << "tcp:[::1]:4001"
                          << "::1" << 4001 << "";
    QTest::newRow("ipv6 zone") << "tcp:[fe80::1%eth0]:65535"
                               << "fe80::1%eth0" << 65535 << "";
    QTest::newRow("no port") << "tcp:pk232"
                             << "" << 0 << "no port (tcp:HOST:PORT)";
    QTest::newRow("empty port") << "tcp:pk232:"
                                << "" << 0 << "not a port number from 1 to 65535 (tcp:HOST:PORT)";
    QTest::newRow("port 0") << "tcp:pk232:0"
                            << "" << 0 << "not a port number from 1 to 65535 (tcp:HOST:PORT)";
    QTest::newRow("port too big") << "tcp:pk232:65536"
                                  << "" << 0 << "not a port number from 1 to 65535 (tcp:HOST:PORT)";
    QTest::newRow("port sign") << "tcp:pk232:+40"
                               << "" << 0 << "not a port number from 1 to 65535 (tcp:HOST:PORT)";
    QTest::newRow("no host") << "tcp::4001"
                             << "" << 0 << "no host (tcp:HOST:PORT)";
    QTest::newRow("bare ipv6") << "tcp:::1:4001"
                               << "" << 0 << "an IPv6 address goes in brackets (tcp:[::1]:4001)";
    QTest::newRow("open bracket") << "tcp:[::1:4001"
                                  << "" << 0
                                  << "no closing bracket after the IPv6 address (tcp:HOST:PORT)";
    QTest::newRow("bracketed name")
        << "tcp:[pk232]:4001"
        << "" << 0 << "not an IPv6 address in the brackets (tcp:HOST:PORT)";
    QTest::newRow("blank in host") << "tcp:pk 232:4001"
                                   << "" << 0 << "not a host name (tcp:HOST:PORT)";
    QTest::newRow("control character")
        << QString("tcp:pk\x01:4001") << "" << 0 << "not a host name (tcp:HOST:PORT)";
}

void TcpBackendTest::names() {
    QFETCH(QString, name);
    QFETCH(QString, host);
    QFETCH(int, port);
    QFETCH(QString, reason);
    QVERIFY(TcpName::Is(name));
    TcpAddress address;
    QString why;
    QCOMPARE(TcpName::Parse(name, address, why), !host.isEmpty());
    QCOMPARE(address.host, host);
    QCOMPARE(int(address.port), port);
    QCOMPARE(why, reason);
}

void TcpBackendTest::refusedAndMalformedInThePortErrorBox() {
    LineBackend line;
    ScriptedPrompts prompts;
    Poort poort(line, prompts);
    // The connection is made without waiting: a refusal fails the line
    // once it comes, and says why.
    const QString refused = QStringLiteral("tcp:127.0.0.1:%1").arg(RefusedPort());
    poort.PoortOpen(refused);
    QVERIFY(poort.PortOpen());
    line.Write("\x01OGG\x17"); // waits for the connection, or finds it refused
    QVERIFY(PumpUntil(line, [&] { return poort.LineDown(); }));
    QCOMPARE(line.LastError().device, refused);
    QCOMPARE(line.LastError().reason, QString("Connection refused"));
    QVERIFY(!line.Write("x"));
    poort.PoortOpen("tcp:[::1:4001");
    QCOMPARE(prompts.Boxes(),
             QStringList({"Warning|Port Error\ntcp:[::1:4001: no closing bracket after the IPv6 "
                          "address (tcp:HOST:PORT)"}));
    QVERIFY(!poort.PortOpen());
    QVERIFY(!line.Rts() && !line.Dtr());
    QVERIFY(!line.Write("x"));
    QCOMPARE(poort.PoortBytesAvailable(), 0);
}

void TcpBackendTest::failedConnectionIsHeldOffForAWhile() {
    LineBackend tcp;
    tcp.SetHoldOffMs(500);
    const quint16 port = RefusedPort();
    const QString name = QStringLiteral("tcp:127.0.0.1:%1").arg(port);
    QVERIFY(tcp.Open(name));
    QVERIFY(PumpUntil(tcp, [&] { return tcp.Failed(); }));
    QCOMPARE(tcp.LastError().reason, QString("Connection refused"));

    // The bridge is there now, but within the hold-off the same name fails
    // at once with the reason it failed with.
    Listener bridge(port);
    QVERIFY(bridge.fd >= 0);
    QVERIFY(!tcp.Open(name));
    QCOMPARE(tcp.LastError().reason, QString("Connection refused"));
    QCOMPARE(tcp.LastError().device, name);
    // Another address is tried at once; then, the hold-off over, this one.
    QVERIFY(tcp.Open(QStringLiteral("tcp:127.0.0.1:%1").arg(RefusedPort())));
    QThread::msleep(600);
    QVERIFY(tcp.Open(name));
    QVERIFY(PumpUntil(tcp, [&] { return tcp.Rts(); }));
    QVERIFY(tcp.Rts() && tcp.Dtr() && !tcp.Failed());
    QVERIFY(tcp.SetState(4800));
}

void TcpBackendTest::bytesBothWaysUntilTheOtherEndCloses() {
    Listener bridge;
    LineBackend line;
    QVERIFY(line.Open(bridge.Name()));
    // Written while the connection is still being made: sent once it is.
    QVERIFY(line.Write("\x01OGG\x17"));
    const int peer = bridge.Accept();
    QVERIFY(peer >= 0);
    QCOMPARE(line.BytesAvailable(), 0);
    quint8 none = 0;
    QVERIFY(!line.ReadByte(none));

    char got[16] = {};
    QVERIFY(PumpUntil(line, [&] { return line.Unsent() == 0 && line.Rts(); }));
    QCOMPARE(::recv(peer, got, 5, MSG_WAITALL), ssize_t(5));
    QCOMPARE(QByteArray(got, 5), QByteArray("\x01OGG\x17"));

    // The count of waiting bytes is right without any event handled.
    QCOMPARE(::send(peer, "\x01OGG\x00\x17purged", 11, 0), ssize_t(11));
    QVERIFY(PumpUntil(line, [&] { return line.BytesAvailable() == 11; }));
    char block[8] = {};
    QCOMPARE(line.ReadBlock(block, 5), 5);
    QCOMPARE(QByteArray(block, 5), QByteArray("\x01OGG\x00", 5));
    quint8 end = 0;
    QVERIFY(line.ReadByte(end) && end == 0x17);
    line.PurgeInput();
    QCOMPARE(line.BytesAvailable(), 0);
    QVERIFY(line.Moving());

    // What the other end sent before it closed is read; the line has failed.
    QCOMPARE(::send(peer, "73", 2, 0), ssize_t(2));
    ::close(peer);
    QVERIFY(PumpUntil(line, [&] { return line.Failed(); }));
    QCOMPARE(line.ReadBlock(block, 8), 2);
    QVERIFY(!line.Write("x"));
    QCOMPARE(line.LastError().device, bridge.Name());
    QCOMPARE(line.LastError().reason, QString("the other end closed the connection"));
}

void TcpBackendTest::writerGivesUpOnAnEndThatDoesNotRead() {
    // A bridge that takes the connection and reads nothing: the writes
    // return at once until the bounded buffer is full; the line fails once
    // it has taken nothing for the stall time.
    Listener bridge(0, 4096);
    LineBackend line;
    line.SetStallMs(300);
    QVERIFY(line.Open(bridge.Name()));
    const int peer = bridge.Accept();
    QVERIFY(peer >= 0);
    QVERIFY(PumpUntil(line, [&] { return line.Rts(); }));
    qint64 written = 0;
    while (line.Write(QByteArray(1024, 'x')) && written < 64 * 1024 * 1024)
        written += 1024;
    QVERIFY2(written < 64 * 1024 * 1024, "the writer never gave up");
    QVERIFY(line.Unsent() <= LineBackend::kOutLimit);
    QVERIFY(PumpUntil(line, [&] { return line.Failed(); }));
    QCOMPARE(line.LastError().reason, QString("the line has taken no byte for 0.3 s"));
    QVERIFY(line.TakeLost() > 0);
    ::close(peer);
}

void TcpBackendTest::nameServerThatDoesNotAnswer() {
    if (!g_mountProblem.isEmpty()) QSKIP(qPrintable(g_mountProblem));
    // A name server that takes questions and never answers.
    const int dns = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    sockaddr_in at{};
    at.sin_family = AF_INET;
    at.sin_port = htons(53);
    ::inet_pton(AF_INET, "127.0.0.77", &at.sin_addr);
    if (::bind(dns, reinterpret_cast<sockaddr*>(&at), sizeof at) != 0) {
        ::close(dns);
        QSKIP("no name server can be played here");
    }
    // This program's own /etc/hosts and /etc/resolv.conf (its mounts are its own).
    QTemporaryDir etc;
    auto put = [&](const QString& name, const QByteArray& text) {
        QFile file(etc.filePath(name));
        return file.open(QIODevice::WriteOnly) && file.write(text) == text.size();
    };
    auto over = [&](const QString& name, const char* target) {
        return ::mount(QFile::encodeName(etc.filePath(name)).constData(), target, nullptr, MS_BIND,
                       nullptr) == 0;
    };
    QVERIFY(put("resolv.conf", "nameserver 127.0.0.77\noptions timeout:5 attempts:2\n"));
    QVERIFY(put("hosts", "127.0.0.1 localhost\n127.0.0.1 bridge.dervalo.test\n"));
    QVERIFY(over("resolv.conf", "/etc/resolv.conf"));
    QVERIFY(over("hosts", "/etc/hosts"));

    // A name is looked up, and the connection made, in the event loop.
    Listener bridge;
    const QString name = QStringLiteral("tcp:bridge.dervalo.test:%1").arg(bridge.port);
    LineBackend line;
    QVERIFY(line.Open(name));
    QVERIFY(line.Write("hello"));
    QTRY_VERIFY_WITH_TIMEOUT(line.Rts() && line.Unsent() == 0, 5000);
    const int peer = bridge.Accept();
    QVERIFY(peer >= 0);
    char got[8] = {};
    QCOMPARE(::recv(peer, got, 5, MSG_WAITALL), ssize_t(5));
    QCOMPARE(QByteArray(got, 5), QByteArray("hello"));
    ::close(peer);

    // A name only the silent name server could give: the open returns at
    // once, and so does every call after it; the lookup goes on elsewhere.
    LineBackend fresh;
    QVERIFY(fresh.Open(QStringLiteral("tcp:nowhere.dervalo.test:%1").arg(bridge.port)));
    QVERIFY(fresh.Write("x"));
    QCOMPARE(fresh.BytesAvailable(), 0);
    QVERIFY(!fresh.Failed() && !fresh.Rts());
    fresh.Close();

    ::umount2("/etc/hosts", MNT_DETACH);
    ::umount2("/etc/resolv.conf", MNT_DETACH);
    ::close(dns);
}

int main(int argc, char** argv) {
    // Before the application object, while this is the only thread.
    g_mountProblem = SmallFs::EnterOwnMounts();
    QCoreApplication app(argc, argv);
    TcpBackendTest test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_tcpbackend.moc"
