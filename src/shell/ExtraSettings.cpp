#include "shell/ExtraSettings.h"

#include <QDir>
#include <QFile>
#include <QList>
#include <QSaveFile>
#include <cctype>

#include "shell/FileLookup.h"

namespace ExtraSettings {
namespace {
// A settings file of a few lines: anything beyond this is not read.
constexpr qint64 kReadLimit = 64 * 1024;

// The key of a line and its value, both trimmed; no key without '='.
bool Split(const QByteArray& line, QByteArray& key, QByteArray& value) {
    const qsizetype eq = line.indexOf('=');
    if (eq < 0) return false;
    key = line.left(eq).trimmed();
    value = line.mid(eq + 1).trimmed();
    return true;
}

bool IsHexColour(const QByteArray& value) {
    if (value.size() != 7 || value.at(0) != '#') return false;
    for (qsizetype i = 1; i < value.size(); ++i)
        if (!std::isxdigit(static_cast<unsigned char>(value.at(i)))) return false;
    return true;
}

QString FilePath(const QString& folder) {
    return ResolvePathNoCase(QDir(folder).filePath(kFileName));
}

QByteArray ReadContent(const QString& path) {
    QFile file(path);
    if (!OpenToRead(file)) return QByteArray();
    return file.read(kReadLimit);
}
} // namespace

QColor DefaultEchoColour() {
    return QColor(0xA0, 0x00, 0x00);
}

QColor EchoColourIn(const QByteArray& content) {
    QByteArray found;
    for (const QByteArray& line : content.split('\n')) {
        QByteArray key, value;
        if (Split(line, key, value) && key == kEchoColourKey) found = value;
    }
    if (!IsHexColour(found)) return DefaultEchoColour();
    return QColor(QString::fromLatin1(found));
}

QByteArray WithEchoColour(const QByteArray& content, const QColor& colour) {
    QByteArray out;
    for (const QByteArray& line : content.split('\n')) {
        QByteArray key, value;
        if (line.trimmed().isEmpty() || (Split(line, key, value) && key == kEchoColourKey))
            continue;
        out += line.endsWith('\r') ? line + '\n' : line + "\r\n";
    }
    return out + kEchoColourKey + '=' + colour.name(QColor::HexRgb).toLatin1() + "\r\n";
}

QColor ReadEchoColour(const QString& folder) {
    return EchoColourIn(ReadContent(FilePath(folder)));
}

namespace {
bool WriteWhole(const QString& path, const QByteArray& content) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return false;
    // Committing alone lets a write the disk refused (a full disk) pass and
    // puts an empty file in the old one's place; the flush finds it first.
    if (file.write(content) != content.size() || !file.flush()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}
} // namespace

bool WriteEchoColour(const QString& folder, const QColor& colour, QString& path) {
    path = FilePath(folder);
    return WriteWhole(path, WithEchoColour(ReadContent(path), colour));
}

std::optional<QString> ValueIn(const QByteArray& content, const QByteArray& key) {
    std::optional<QString> found;
    for (QByteArray line : content.split('\n')) {
        if (line.endsWith('\r')) line.chop(1);
        const qsizetype eq = line.indexOf('=');
        if (eq < 0 || line.left(eq).trimmed() != key) continue;
        found = QString::fromUtf8(line.mid(eq + 1));
    }
    return found;
}

QByteArray WithValue(const QByteArray& content, const QByteArray& key, const QString& value) {
    QByteArray out;
    for (const QByteArray& line : content.split('\n')) {
        QByteArray k, v;
        if (line.trimmed().isEmpty() || (Split(line, k, v) && k == key)) continue;
        out += line.endsWith('\r') ? line + '\n' : line + "\r\n";
    }
    QByteArray bytes = value.toUtf8();
    for (char& c : bytes)
        if (c == '\r' || c == '\n') c = ' ';
    return out + key + '=' + bytes + "\r\n";
}

QString ReadValue(const QString& folder, const QByteArray& key, const QString& fallback) {
    return ValueIn(ReadContent(FilePath(folder)), key).value_or(fallback);
}

bool WriteValues(const QString& folder, const QList<QPair<QByteArray, QString>>& values,
                 QString& path) {
    path = FilePath(folder);
    QByteArray content = ReadContent(path);
    for (const auto& [key, value] : values)
        content = WithValue(content, key, value);
    return WriteWhole(path, content);
}

QByteArray ReadContentOf(const QString& folder) {
    return ReadContent(FilePath(folder));
}

bool WriteContentOf(const QString& folder, const QByteArray& content, QString& path) {
    path = FilePath(folder);
    return WriteWhole(path, content);
}

// ---- weather fax

FaxSettings FaxSettingsIn(const QByteArray& content) {
    FaxSettings s;
    bool ok = false;
    const int speed = ValueIn(content, kFaxSpeedKey).value_or(QString()).toInt(&ok);
    if (ok && FaxSettings::ValidSpeed(speed)) s.speed = speed;
    const int aspect = ValueIn(content, kFaxAspectKey).value_or(QString()).toInt(&ok);
    if (ok && FaxSettings::ValidAspect(aspect)) s.aspect = aspect;
    return s;
}

QByteArray WithFaxSettings(const QByteArray& content, const FaxSettings& settings) {
    return WithValue(WithValue(content, kFaxSpeedKey, QString::number(settings.speed)),
                     kFaxAspectKey, QString::number(settings.aspect));
}

FaxSettings ReadFaxSettings(const QString& folder) {
    return FaxSettingsIn(ReadContent(FilePath(folder)));
}

bool WriteFaxSettings(const QString& folder, const FaxSettings& settings, QString& path) {
    path = FilePath(folder);
    return WriteWhole(path, WithFaxSettings(ReadContent(path), settings));
}

} // namespace ExtraSettings
