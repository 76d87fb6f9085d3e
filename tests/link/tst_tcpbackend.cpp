// The line over the network: the "tcp:HOST:PORT" name, a refused or
// malformed address in the "Port Error" box, the hold-off after a failed
// connection (on a clock the test moves), bytes both ways, and the two ways
// a connection ends for the writer: the other end closing, and the other end
// no longer reading; a name server that does not answer.
#include <QtTest>

#include <arpa/inet.h>
#include <sys/mount.h>

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include "ScriptedPrompts.h"
#include "SmallFs.h"
#include "link/LineBackend.h"
#include "link/Poort.h"
#include "link/TcpBackend.h"
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
    const QString refused = QStringLiteral("tcp:127.0.0.1:%1").arg(RefusedPort());
    poort.PoortOpen(refused);
    poort.PoortOpen("tcp:[::1:4001");
    QCOMPARE(prompts.Boxes(),
             QStringList({"Warning|Port Error\n" + refused + ": Connection refused",
                          "Warning|Port Error\ntcp:[::1:4001: no closing bracket after the IPv6 "
                          "address (tcp:HOST:PORT)"}));
    QVERIFY(!poort.PortOpen());
    QVERIFY(!line.Rts() && !line.Dtr());
    QVERIFY(!line.WriteByte('x'));
    QCOMPARE(poort.PoortBytesAvailable(), 0);
}

void TcpBackendTest::failedConnectionIsHeldOffForAWhile() {
    qint64 now = 50000;
    TcpBackend tcp([&now] { return now; });
    const quint16 port = RefusedPort();
    const QString name = QStringLiteral("tcp:127.0.0.1:%1").arg(port);
    QVERIFY(!tcp.Open(name));
    QCOMPARE(tcp.LastError().reason, QString("Connection refused"));

    // The bridge is there now, but within the hold-off the same name fails
    // at once with the reason it failed with.
    Listener bridge(port);
    QVERIFY(bridge.fd >= 0);
    now += TcpBackend::kHoldOffMs - 1;
    QVERIFY(!tcp.Open(name));
    QCOMPARE(tcp.LastError().reason, QString("Connection refused"));
    QCOMPARE(tcp.LastError().device, name);
    // Another address is tried at once; then, the hold-off over, this one.
    QVERIFY(!tcp.Open(QStringLiteral("tcp:127.0.0.1:%1").arg(RefusedPort())));
    now += TcpBackend::kHoldOffMs;
    QVERIFY(tcp.Open(name));
    QVERIFY(tcp.Rts() && tcp.Dtr());
    QVERIFY(tcp.SetState(4800) && tcp.SetTimeouts() && tcp.SetQueues(32767, 16384));
}

void TcpBackendTest::bytesBothWaysUntilTheOtherEndCloses() {
    Listener bridge;
    LineBackend line;
    QVERIFY(line.Open(bridge.Name()));
    const int peer = bridge.Accept();
    QVERIFY(peer >= 0);
    QCOMPARE(line.BytesAvailable(), 0);
    quint8 none = 0;
    QVERIFY(!line.ReadByte(none));

    for (const char c : QByteArray("\x01OGG\x17"))
        QVERIFY(line.WriteByte(quint8(c)));
    char got[16] = {};
    QCOMPARE(::recv(peer, got, 5, MSG_WAITALL), ssize_t(5));
    QCOMPARE(QByteArray(got, 5), QByteArray("\x01OGG\x17"));

    // The count of waiting bytes is right without any event handled.
    QCOMPARE(::send(peer, "\x01OGG\x00\x17purged", 11, 0), ssize_t(11));
    QVERIFY(QTest::qWaitFor([&] { return line.BytesAvailable() == 11; }, 5000));
    char block[8] = {};
    QCOMPARE(line.ReadBlock(block, 5), 5);
    QCOMPARE(QByteArray(block, 5), QByteArray("\x01OGG\x00", 5));
    quint8 end = 0;
    QVERIFY(line.ReadByte(end) && end == 0x17);
    line.PurgeInput();
    QCOMPARE(line.BytesAvailable(), 0);

    // What the other end sent before it closed is read; then writes fail.
    QCOMPARE(::send(peer, "73", 2, 0), ssize_t(2));
    ::close(peer);
    QVERIFY(QTest::qWaitFor([&] { return line.BytesAvailable() == 2; }, 5000));
    QVERIFY(line.WriteByte('x')); // the last words are still to be read
    QCOMPARE(line.ReadBlock(block, 8), 2);
    QVERIFY(!line.WriteByte('x'));
    QCOMPARE(line.LastError().device, bridge.Name());
    QCOMPARE(line.LastError().reason, QString("the connection was closed by the other end"));
    QVERIFY(!line.Rts());
}

void TcpBackendTest::writerGivesUpOnAnEndThatDoesNotRead() {
    // A bridge that takes the connection and reads nothing: the write fills
    // what the two ends hold, then waits, bounded, and fails.
    Listener bridge(0, 4096);
    LineBackend line;
    QVERIFY(line.Open(bridge.Name()));
    const int peer = bridge.Accept();
    QVERIFY(peer >= 0);
    qint64 written = 0;
    while (line.WriteByte('x') && written < 64 * 1024 * 1024)
        ++written;
    QVERIFY2(written < 64 * 1024 * 1024, "the writer never gave up");
    QCOMPARE(line.LastError().reason, QString("the other end takes nothing"));
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
    QVERIFY(put("hosts-without", "127.0.0.1 localhost\n"));
    QVERIFY(over("resolv.conf", "/etc/resolv.conf"));
    QVERIFY(over("hosts", "/etc/hosts"));

    Listener bridge;
    const QString name = QStringLiteral("tcp:bridge.dervalo.test:%1").arg(bridge.port);
    TcpBackend line;
    QVERIFY(line.Open(name));
    // The name is no longer known but to the silent name server: a
    // reconnect takes the address it had.
    QVERIFY(over("hosts-without", "/etc/hosts"));
    line.Close();
    QVERIFY2(line.Open(name), qPrintable(line.LastError().reason));
    // A line that never had one gives up within its bound and says why.
    TcpBackend fresh;
    QVERIFY(!fresh.Open(name));
    QCOMPARE(fresh.LastError().reason, "host not found: the name server did not answer within 1 s");

    ::umount2("/etc/hosts", MNT_DETACH);
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
