#include "link/SerialDevices.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSerialPortInfo>

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "link/LineBackend.h"

namespace {

namespace fs = std::filesystem;

QString Under(const QString& root, const QString& path) {
    return QDir::cleanPath(root + QLatin1Char('/') + path);
}

fs::path Native(const QString& path) {
    return fs::path(QFile::encodeName(path).toStdString());
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

// Only what can be shown on one line: the system's strings may hold
// anything.
QString Printable(QString text) {
    text.removeIf([](QChar c) { return !c.isPrint(); });
    return text.trimmed();
}

// Fills in what the enumeration tells of the device at `location`.
void TakeFacts(const QList<PortFacts>& ports, const QString& location, SerialDevice& device) {
    for (const PortFacts& p : ports) {
        if (p.location != location) continue;
        device.product = Printable(p.description);
        device.manufacturer = Printable(p.manufacturer);
        device.serial = Printable(p.serialNumber);
        device.usbId = p.usbId;
        return;
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

QList<PortFacts> PortFacts::OfSystem() {
    QList<PortFacts> ports;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
        PortFacts p;
        p.location = info.systemLocation();
        p.description = info.description();
        p.manufacturer = info.manufacturer();
        p.serialNumber = info.serialNumber();
        if (info.hasVendorIdentifier() && info.hasProductIdentifier())
            p.usbId = QStringLiteral("%1:%2")
                          .arg(info.vendorIdentifier(), 4, 16, QLatin1Char('0'))
                          .arg(info.productIdentifier(), 4, 16, QLatin1Char('0'));
        ports << p;
    }
    return ports;
}

QList<SerialDevice> ListSerialDevices(const QList<PortFacts>& ports, const QString& root,
                                      const QString& portInUse) {
    QList<SerialDevice> devices;
    QStringList locations;
    for (const PortFacts& p : ports)
        if (!p.location.isEmpty() && !p.location.startsWith(QStringLiteral("/dev/ttyS")))
            locations << p.location;
    std::sort(locations.begin(), locations.end(), NaturalLess);
    locations.removeDuplicates();
    for (const QString& location : locations) {
        SerialDevice d;
        d.path = location;
        TakeFacts(ports, location, d);
        devices << d;
    }
    const QString byId = QStringLiteral("/dev/serial/by-id");
    for (const QString& name : Entries(Under(root, byId), {})) {
        SerialDevice d;
        d.path = byId + QLatin1Char('/') + name;
        d.target = LinkTarget(root, d.path);
        TakeFacts(ports, d.target, d);
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
