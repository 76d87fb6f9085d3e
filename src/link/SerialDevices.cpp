#include "link/SerialDevices.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "link/LineBackend.h"

namespace {

namespace fs = std::filesystem;

// The name of a directory USB devices live in holds at most this many
// levels above the interface the tty hangs on (port, interface, device).
constexpr int kUsbLevels = 4;
// Sysfs attributes are short; a longer file is not one.
constexpr qint64 kMaxAttribute = 128;

QString Under(const QString& root, const QString& path) {
    return QDir::cleanPath(root + QLatin1Char('/') + path);
}

fs::path Native(const QString& path) {
    return fs::path(QFile::encodeName(path).toStdString());
}

// A short attribute file: its first line, printable characters only. A
// missing or unreadable file, or anything but a plain file (a pipe would
// wait for ever), reads as empty.
QString ReadAttribute(const QString& file) {
    std::error_code ec;
    if (!fs::is_regular_file(Native(file), ec)) return {};
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly)) return {};
    const QByteArray raw = f.read(kMaxAttribute);
    QString text =
        QString::fromUtf8(raw.left(raw.indexOf('\n') < 0 ? raw.size() : raw.indexOf('\n')));
    text.removeIf([](QChar c) { return !c.isPrint(); });
    return text.trimmed();
}

// What a symbolic link points at, as a path of the system (a relative
// target is taken from the link's folder); empty for anything else.
QString LinkTarget(const QString& root, const QString& systemPath) {
    std::error_code ec;
    const fs::path raw = fs::read_symlink(Native(Under(root, systemPath)), ec);
    if (ec) return {};
    const QString target = QFile::decodeName(QByteArray::fromStdString(raw.string()));
    if (target.startsWith(QLatin1Char('/'))) return QDir::cleanPath(target);
    return QDir::cleanPath(QFileInfo(systemPath).path() + QLatin1Char('/') + target);
}

// Fills in what /sys/class/tty/<name> tells of a USB device: from the
// device the tty hangs on, up to the USB device that holds idVendor.
void ReadUsbInfo(const QString& root, const QString& ttyName, SerialDevice& device) {
    const QString sys = QFileInfo(Under(root, QStringLiteral("/sys"))).canonicalFilePath();
    const QString start = QFileInfo(Under(root, QStringLiteral("/sys/class/tty/") + ttyName +
                                                    QStringLiteral("/device")))
                              .canonicalFilePath();
    if (sys.isEmpty() || start.isEmpty()) return; // none, or a dangling link
    QString dir = start;
    for (int level = 0; level < kUsbLevels; ++level) {
        if (!dir.startsWith(sys + QLatin1Char('/'))) return;
        const QString vendor = ReadAttribute(dir + QStringLiteral("/idVendor"));
        if (!vendor.isEmpty()) {
            const QString product = ReadAttribute(dir + QStringLiteral("/idProduct"));
            device.usbId = vendor + QLatin1Char(':') + product;
            device.manufacturer = ReadAttribute(dir + QStringLiteral("/manufacturer"));
            device.product = ReadAttribute(dir + QStringLiteral("/product"));
            device.serial = ReadAttribute(dir + QStringLiteral("/serial"));
            return;
        }
        dir = QFileInfo(dir).path();
    }
}

// ttyUSB2 before ttyUSB10.
bool NaturalLess(const QString& a, const QString& b) {
    auto split = [](const QString& s) {
        qsizetype i = s.size();
        while (i > 0 && s.at(i - 1).isDigit())
            --i;
        return std::pair(s.left(i), s.mid(i).toULongLong());
    };
    return split(a) < split(b);
}

QStringList Entries(const QString& dir, const QStringList& filters) {
    // System takes in device files and dangling links.
    QStringList names =
        QDir(dir).entryList(filters, QDir::Files | QDir::System | QDir::NoDotAndDotDot);
    std::sort(names.begin(), names.end(), NaturalLess);
    return names;
}

} // namespace

QString SerialDevice::Text() const {
    QString text = path;
    if (!target.isEmpty()) text += QStringLiteral(" \u2192 ") + target;
    QString about = product;
    if (!manufacturer.isEmpty())
        about +=
            about.isEmpty() ? manufacturer : QStringLiteral(" (") + manufacturer + QLatin1Char(')');
    if (inUse) {
        if (!about.isEmpty()) about += QStringLiteral(", ");
        about += present ? QStringLiteral("in use") : QStringLiteral("in use, not found");
    }
    return about.isEmpty() ? text : text + QStringLiteral(" \u2014 ") + about;
}

QString SerialDevice::Details() const {
    QStringList lines{path};
    if (!target.isEmpty()) lines << QStringLiteral("points at ") + target;
    if (!manufacturer.isEmpty()) lines << QStringLiteral("Maker: ") + manufacturer;
    if (!product.isEmpty()) lines << QStringLiteral("Product: ") + product;
    if (!serial.isEmpty()) lines << QStringLiteral("Serial number: ") + serial;
    if (!usbId.isEmpty()) lines << QStringLiteral("USB id: ") + usbId;
    return lines.join(QLatin1Char('\n'));
}

QList<SerialDevice> ListSerialDevices(const QString& root, const QString& portInUse) {
    QList<SerialDevice> devices;
    for (const QString& name : Entries(Under(root, QStringLiteral("/dev")),
                                       {QStringLiteral("ttyACM*"), QStringLiteral("ttyUSB*")})) {
        SerialDevice d;
        d.path = QStringLiteral("/dev/") + name;
        ReadUsbInfo(root, name, d);
        devices << d;
    }
    const QString byId = QStringLiteral("/dev/serial/by-id");
    for (const QString& name : Entries(Under(root, byId), {})) {
        SerialDevice d;
        d.path = byId + QLatin1Char('/') + name;
        d.target = LinkTarget(root, d.path);
        const QString targetName = d.target.mid(5);
        if (d.target.startsWith(QStringLiteral("/dev/")) && !targetName.contains(QLatin1Char('/')))
            ReadUsbInfo(root, targetName, d);
        devices << d;
    }

    const QString inUse = LineBackend::DevicePath(portInUse);
    if (inUse.isEmpty()) return devices;
    for (SerialDevice& d : devices)
        if (d.path == inUse) {
            d.inUse = true;
            return devices;
        }
    SerialDevice d;
    d.path = portInUse;
    d.target = LinkTarget(root, inUse);
    std::error_code ec;
    d.present = fs::exists(fs::symlink_status(Native(Under(root, inUse)), ec));
    d.inUse = true;
    devices << d;
    return devices;
}
