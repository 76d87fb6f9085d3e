// The serial devices the port dialog lists, from made-up port facts and a
// made-up /dev/serial/by-id.
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>
#include <unistd.h>

#include "link/SerialDevices.h"

namespace {

class FakeSystem {
public:
    QTemporaryDir dir;
    QString Root() const { return dir.path(); }
    void File(const QString& path, const QByteArray& content = {}) {
        QDir().mkpath(QFileInfo(Root() + path).path());
        QFile f(Root() + path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(content);
    }
    void Link(const QString& path, const QString& target) {
        QDir().mkpath(QFileInfo(Root() + path).path());
        QCOMPARE(::symlink(QFile::encodeName(target).constData(),
                           QFile::encodeName(Root() + path).constData()),
                 0);
    }
};

PortFacts Port(const QString& location, const QString& description = {},
               const QString& manufacturer = {}, const QString& serial = {},
               const QString& usbId = {}) {
    PortFacts p;
    p.location = location;
    p.description = description;
    p.manufacturer = manufacturer;
    p.serialNumber = serial;
    p.usbId = usbId;
    return p;
}

QStringList Texts(const QList<SerialDevice>& devices) {
    QStringList texts;
    for (const SerialDevice& d : devices)
        texts << d.Text();
    return texts;
}

} // namespace

class TestSerialDevices : public QObject {
    Q_OBJECT
private slots:
    void listsWhatTheSystemHas();
};

void TestSerialDevices::listsWhatTheSystemHas() {
    FakeSystem sys;
    QVERIFY(sys.dir.isValid());
    // What the system's enumeration gives: the legacy port, two adapters
    // (the FTDI one with what it says of itself, its strings not all
    // printable) and an Arduino.
    const QList<PortFacts> ports = {
        Port("/dev/ttyS0"), Port("/dev/ttyUSB10"),
        Port("/dev/ttyUSB2", "FT232R USB UART", "FTDI", "A1\x07", "0403:6001"),
        Port("/dev/ttyACM0", "", "", "", "2341:0043")};
    sys.Link("/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A1-if00-port0", "../../ttyUSB2");
    sys.Link("/dev/serial/by-id/usb-Gone-if00", "../../ttyUSB9");
    // The simulator's link in use: a pseudo-terminal.
    sys.Link("/run/pk232", "/dev/pts/3");

    const QList<SerialDevice> devices = ListSerialDevices(ports, sys.Root(), "/run/pk232");
    QCOMPARE(
        Texts(devices),
        QStringList({"/dev/ttyACM0", "/dev/ttyUSB2 \u2014 FT232R USB UART (FTDI)", "/dev/ttyUSB10",
                     "/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A1-if00-port0 \u2192 "
                     "/dev/ttyUSB2 \u2014 FT232R USB UART (FTDI)",
                     "/dev/serial/by-id/usb-Gone-if00 \u2192 /dev/ttyUSB9",
                     "/run/pk232 \u2192 /dev/pts/3 \u2014 in use"}));
    QCOMPARE(devices[0].usbId, QString("2341:0043"));
    QCOMPARE(devices[1].Details(), QString("/dev/ttyUSB2\nMaker: FTDI\nProduct: FT232R USB "
                                           "UART\nSerial number: A1\nUSB id: 0403:6001"));
    QCOMPARE(devices[5].path, QString("/run/pk232"));

    // A listed device in use, by a bare name; one that has gone; names that
    // are no device add nothing.
    QStringList texts = Texts(ListSerialDevices(ports, sys.Root(), "ttyUSB2"));
    QCOMPARE(texts.size(), 5);
    QCOMPARE(texts[1], QString("/dev/ttyUSB2 \u2014 FT232R USB UART (FTDI), in use"));
    texts = Texts(ListSerialDevices(ports, sys.Root(), "/dev/ttyUSB7"));
    QCOMPARE(texts.last(), QString("/dev/ttyUSB7 \u2014 in use, not found"));
    QCOMPARE(ListSerialDevices(ports, sys.Root(), QString("tty\x01S0")).size(), 5);
    QCOMPARE(ListSerialDevices(ports, sys.Root(), QString()).size(), 5);

    // No ports, no /dev.
    QVERIFY(ListSerialDevices({}, sys.Root() + "/nothing", QString()).isEmpty());
}

QTEST_GUILESS_MAIN(TestSerialDevices)
#include "tst_serialdevices.moc"
