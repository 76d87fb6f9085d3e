// The serial devices the port dialog lists, over a made-up /dev and /sys.
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
    sys.File("/dev/ttyS0");
    sys.File("/dev/ttyUSB10");
    sys.File("/dev/ttyUSB2");
    sys.File("/dev/ttyACM0");
    sys.Link("/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A1-if00-port0", "../../ttyUSB2");
    sys.Link("/dev/serial/by-id/usb-Gone-if00", "../../ttyUSB9");
    // An FTDI adapter: the USB device two levels above its interface.
    sys.Link("/sys/class/tty/ttyUSB2/device", "../../usb1/1-1/1-1:1.0");
    sys.File("/sys/class/usb1/1-1/1-1:1.0/interface", "x\n");
    sys.File("/sys/class/usb1/1-1/idVendor", "0403\n");
    sys.File("/sys/class/usb1/1-1/idProduct", "6001\n");
    sys.File("/sys/class/usb1/1-1/manufacturer", "FTDI\n");
    sys.File("/sys/class/usb1/1-1/product", "FT232R USB UART\n");
    sys.File("/sys/class/usb1/1-1/serial", "A1\x07\n");
    // A dangling device link, and a product "file" that is a pipe.
    sys.Link("/sys/class/tty/ttyUSB10/device", "../../nowhere");
    sys.Link("/sys/class/tty/ttyACM0/device", "../../usb2/2-1/2-1:1.0");
    QDir().mkpath(sys.Root() + "/sys/class/usb2/2-1/2-1:1.0");
    sys.File("/sys/class/usb2/2-1/idVendor", "2341\n");
    sys.File("/sys/class/usb2/2-1/idProduct", "0043\n");
    QCOMPARE(::mkfifo(QFile::encodeName(sys.Root() + "/sys/class/usb2/2-1/product"), 0600), 0);
    // The simulator's link in use: a pseudo-terminal.
    sys.Link("/run/pk232", "/dev/pts/3");

    const QList<SerialDevice> devices = ListSerialDevices(sys.Root(), "/run/pk232");
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
    QStringList texts = Texts(ListSerialDevices(sys.Root(), "ttyUSB2"));
    QCOMPARE(texts.size(), 5);
    QCOMPARE(texts[1], QString("/dev/ttyUSB2 \u2014 FT232R USB UART (FTDI), in use"));
    texts = Texts(ListSerialDevices(sys.Root(), "/dev/ttyUSB7"));
    QCOMPARE(texts.last(), QString("/dev/ttyUSB7 \u2014 in use, not found"));
    QCOMPARE(ListSerialDevices(sys.Root(), QString("tty\x01S0")).size(), 5);
    QCOMPARE(ListSerialDevices(sys.Root(), QString()).size(), 5);

    // No /dev, no /sys.
    QVERIFY(ListSerialDevices(sys.Root() + "/nothing", QString()).isEmpty());
}

QTEST_GUILESS_MAIN(TestSerialDevices)
#include "tst_serialdevices.moc"
