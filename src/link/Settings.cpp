#include "link/Settings.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>
#include <array>
#include <iterator>

#include "shell/FileLookup.h"
#include "shell/Prompts.h"

// IniStatus values, in the numbering of the platform's file errors.
namespace {
constexpr quint8 kEndOfFile = 1;       // the file ended before an item
constexpr quint8 kFileNotFound = 2;    // the file could not be opened for reading
constexpr quint8 kCannotCreate = 5;    // the file could not be created
constexpr quint8 kWriteError = 101;    // a write or the close failed
constexpr quint8 kInvalidNumber = 106; // a number item is no decimal integer

// 31 short lines: no settings file comes near this. Beyond it nothing is
// read, so a huge file under the name costs no more than a small one.
constexpr qint64 kReadLimit = 64 * 1024;

// A text goes into the file one byte per character. A text with a character
// that has no byte of its own (a font family in another script) goes as
// UTF-8 instead of with question marks, and the reader takes a line that is
// UTF-8 with characters beyond one byte as such; every other line is read
// one byte per character.
QByteArray FileBytes(const QString& text) {
    for (const QChar c : text)
        if (c.unicode() > 0xFF) return text.toUtf8();
    return text.toLatin1();
}
QString TextOf(const QByteArray& line) {
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString decoded = utf8(line);
    if (!utf8.hasError()) {
        for (const QChar c : decoded)
            if (c.unicode() > 0xFF) return decoded;
    }
    return QString::fromLatin1(line);
}

// Longest token a number item takes; the rest of its line is skipped.
constexpr qsizetype kMaxNumberLength = 32;

bool IsLineEnd(char c) {
    return c == '\r' || c == '\n';
}
bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

// Walks the bytes of the file item by item. A line ends at CR LF, and also
// at a lone LF or a lone CR, so files edited on other systems read alike; the
// last line needs no line end.
class ItemReader {
public:
    explicit ItemReader(const QByteArray& bytes) : bytes_(bytes) {}

    bool AtEnd() const { return pos_ >= bytes_.size(); }

    // The rest of the current line without its line end; moves to the next line.
    QByteArray ReadLine() {
        const qsizetype start = pos_;
        while (!AtEnd() && !IsLineEnd(bytes_[pos_]))
            ++pos_;
        const QByteArray line = bytes_.mid(start, pos_ - start);
        SkipLineEnd();
        return line;
    }

    // A decimal integer with an optional sign, after any blanks and empty
    // lines; the rest of its line is skipped. The number must fit 32 bits
    // (-2147483648 to 4294967295, the upper half standing for the negative
    // values); a field narrower than that keeps its low bits. Returns 0 or
    // the IniStatus of the failure.
    quint8 ReadNumber(quint32& value) {
        while (!AtEnd() && (IsBlank(bytes_[pos_]) || IsLineEnd(bytes_[pos_])))
            ++pos_;
        if (AtEnd()) return kEndOfFile;
        const qsizetype start = pos_;
        while (!AtEnd() && pos_ - start < kMaxNumberLength && !IsBlank(bytes_[pos_]) &&
               !IsLineEnd(bytes_[pos_]))
            ++pos_;
        const QByteArray token = bytes_.mid(start, pos_ - start);
        ReadLine();
        return Convert(token, value) ? 0 : kInvalidNumber;
    }

private:
    void SkipLineEnd() {
        if (AtEnd()) return;
        if (bytes_[pos_] == '\r') {
            ++pos_;
            if (!AtEnd() && bytes_[pos_] == '\n') ++pos_;
        } else if (bytes_[pos_] == '\n') {
            ++pos_;
        }
    }

    static bool Convert(const QByteArray& token, quint32& value) {
        qsizetype i = 0;
        const bool negative = !token.isEmpty() && token[0] == '-';
        if (!token.isEmpty() && (token[0] == '-' || token[0] == '+')) ++i;
        if (i == token.size()) return false;
        // A number that does not fit 32 bits is a conversion error, never a
        // silently wrapped value.
        const quint64 limit = negative ? quint64(1) << 31 : (quint64(1) << 32) - 1;
        quint64 result = 0;
        for (; i < token.size(); ++i) {
            const char c = token[i];
            if (c < '0' || c > '9') return false;
            result = result * 10u + static_cast<quint64>(c - '0');
            if (result > limit) return false;
        }
        value = negative ? 0u - quint32(result) : quint32(result);
        return true;
    }

    const QByteArray& bytes_;
    qsizetype pos_ = 0;
};

// Reads the items in file order while IniStatus stays 0. Every item checks
// for the end of the file first; a field changes only when its item was read.
class SettingsReader {
public:
    SettingsReader(const QByteArray& bytes, quint8& status) : reader_(bytes), status_(status) {}

    // A text item, cut to `maxLength` characters when that is not negative.
    bool Text(QString* into, qsizetype maxLength = -1) {
        QByteArray line;
        if (!Line(line)) return false;
        if (into) {
            *into = TextOf(line);
            if (maxLength >= 0 && into->size() > maxLength) {
                into->truncate(maxLength);
                // What is kept is the text as the file gives it back once
                // written: a cut can leave one-byte characters whose bytes
                // read as UTF-8 of a wider one.
                *into = TextOf(FileBytes(*into));
            }
        }
        return true;
    }

    bool Line(QByteArray& into) {
        if (!ItemStarts()) return false;
        into = reader_.ReadLine();
        return true;
    }

    template <typename Field> bool Number(Field& into) {
        if (!ItemStarts()) return false;
        quint32 value = 0;
        status_ = reader_.ReadNumber(value);
        if (status_ != 0) return false;
        into = static_cast<Field>(value);
        return true;
    }

private:
    bool ItemStarts() {
        if (status_ != 0) return false;
        if (reader_.AtEnd()) {
            status_ = kEndOfFile;
            return false;
        }
        return true;
    }

    ItemReader reader_;
    quint8& status_;
};

void SetSwitches(SettingsFields& fields, const std::array<QByteArray, 4>& lines) {
    const auto on = [](const QByteArray& line) { return line == "ON"; };
    fields.WindowMaximized = on(lines[0]);
    fields.MaildropOn = on(lines[1]);
    fields.PkInitOn = on(lines[2]);
    fields.LogBookOn = on(lines[3]);
}

QByteArray Switch(bool on) {
    return on ? QByteArrayLiteral("ON") : QByteArrayLiteral("OFF");
}
} // namespace

bool ParseSettings(const QByteArray& content, SettingsFields& fields, quint8& IniStatus) {
    IniStatus = 0;
    SettingsReader in(content, IniStatus);
    in.Text(nullptr); // ";Port Number"
    in.Text(&fields.StoredPortName);
    in.Text(nullptr); // ";Baudrate"
    in.Number(fields.StoredBaudRate);
    in.Text(nullptr); // ";Do NOT change the values below"
    in.Text(&fields.RxFontName);
    in.Number(fields.RxFontSize);
    in.Text(&fields.TxFontName);
    in.Number(fields.TxFontSize);
    in.Number(fields.RxWindowColor);
    in.Number(fields.TxWindowColor);
    in.Text(&fields.RxFontStyle, 6);
    in.Text(&fields.TxFontStyle, 6);
    in.Number(fields.RxFontColor);
    in.Number(fields.TxFontColor);
    in.Text(&fields.ButtonFontName);
    in.Number(fields.ButtonFontSize);
    in.Number(fields.ButtonFontStyle);
    in.Text(&fields.StatusFontName);
    in.Number(fields.StatusFontSize);
    in.Number(fields.StatusFontStyle);
    // Line 22 is read into both bar colours.
    qint32 barColor = 0;
    if (in.Number(barColor)) {
        fields.ReceiveBarColor = barColor;
        fields.TransmitBarColor = barColor;
    }
    in.Text(nullptr); // "System", not used
    in.Text(nullptr); // "System", not used
    in.Number(fields.SplitPerMille);
    in.Text(&fields.DefaultMyCall);
    in.Text(&fields.MySelCall, 4);
    // The switch lines not reached stay empty and so count as off.
    std::array<QByteArray, 4> switches;
    for (QByteArray& line : switches)
        in.Line(line);
    SetSwitches(fields, switches);
    return IniStatus == 0;
}

QByteArray FormatSettings(const SettingsFields& f) {
    const QByteArray lines[] = {
        QByteArrayLiteral(";Port Number"),
        FileBytes(f.PortName),
        QByteArrayLiteral(";Baudrate"),
        QByteArray::number(f.BaudRate),
        QByteArrayLiteral(";Do NOT change the values below"),
        FileBytes(f.RxFontName),
        QByteArray::number(f.RxFontSize),
        FileBytes(f.TxFontName),
        QByteArray::number(f.TxFontSize),
        QByteArray::number(f.RxWindowColor),
        QByteArray::number(f.TxWindowColor),
        FileBytes(f.RxFontStyle),
        FileBytes(f.TxFontStyle),
        QByteArray::number(f.RxFontColor),
        QByteArray::number(f.TxFontColor),
        FileBytes(f.ButtonFontName),
        QByteArray::number(f.ButtonFontSize),
        QByteArray::number(f.ButtonFontStyle),
        FileBytes(f.StatusFontName),
        QByteArray::number(f.StatusFontSize),
        QByteArray::number(f.StatusFontStyle),
        QByteArray::number(f.ReceiveBarColor),
        QByteArrayLiteral("System"),
        QByteArrayLiteral("System"),
        QByteArray::number(f.SplitPerMille),
        FileBytes(f.DefaultMyCall),
        FileBytes(f.MySelCall),
        Switch(f.WindowMaximized),
        Switch(f.MaildropOn),
        Switch(f.PkInitOn),
        Switch(f.LogBookOn),
    };
    static_assert(std::size(lines) == 31);
    QByteArray out;
    for (const QByteArray& line : lines)
        out += line + "\r\n";
    return out;
}

bool ReadSettings(const QString& folder, SettingsFields& fields, quint8& IniStatus) {
    // Only a regular file is read: a device or pipe under that name could
    // stall the start for good.
    const QString path = FindFileNoCase(folder, kSettingsFileName);
    QFile file(path);
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly)) {
        IniStatus = kFileNotFound;
        SetSwitches(fields, {});
        return false;
    }
    const QByteArray content = file.read(kReadLimit);
    if (file.error() != QFileDevice::NoError) {
        IniStatus = kFileNotFound;
        SetSwitches(fields, {});
        return false;
    }
    return ParseSettings(content, fields, IniStatus);
}

void WriteSettings(const QString& folder, const SettingsFields& fields, quint8& IniStatus,
                   Prompts& prompts) {
    // The file found in any letter case is the one replaced. The new content
    // goes to a temporary file that takes the old one's place only when
    // written whole; where no temporary file can be made next to it, the file
    // is written in place. Anything but a regular file under that name (a
    // folder, device or pipe) counts as not creatable.
    const QString path = FindFileNoCase(folder, kSettingsFileName);
    const QFileInfo target(path);
    QSaveFile file(path);
    file.setDirectWriteFallback(true);
    if ((target.exists() && !target.isFile()) || !file.open(QIODevice::WriteOnly)) {
        IniStatus = kCannotCreate;
        // Where none could be made nothing is said; a settings file that is
        // there and cannot be replaced (a read-only disk) keeps its old
        // content, and the operator hears that the settings were not saved.
        if (target.isFile())
            prompts.MessageBox(QStringLiteral("Error writing file to disk"),
                               QStringLiteral("Warning"), Prompts::Buttons::OkCancel);
        return;
    }
    IniStatus = 0;
    const QByteArray content = FormatSettings(fields);
    // The explicit flush catches a short write that committing alone would let
    // pass as a complete file.
    if (file.write(content) != content.size() || !file.flush()) IniStatus = kWriteError;
    if (IniStatus == 0 && !file.commit()) IniStatus = kWriteError;
    if (IniStatus != 0) {
        file.cancelWriting();
        prompts.MessageBox(QStringLiteral("Error writing file to disk"), QStringLiteral("Warning"),
                           Prompts::Buttons::OkCancel);
    }
}

void ApplyBuiltInDefaults(SettingsFields& fields) {
    fields.PortName = QStringLiteral("COM4");
    fields.BaudRate = 9600;
    fields.RxFontName = QStringLiteral("terminal");
    fields.RxFontSize = 8;
    fields.TxFontName = QStringLiteral("System");
    fields.TxFontSize = 8;
    fields.RxWindowColor = 12632256;
    fields.TxWindowColor = 16711680;
    fields.RxFontStyle = QStringLiteral("Normal");
    fields.TxFontStyle = QStringLiteral("normal");
    fields.RxFontColor = 0;
    fields.TxFontColor = 65535;
    fields.ReceiveBarColor = 11203312;
    fields.TransmitBarColor = 11203312;
    fields.SplitPerMille = 263;
    fields.DefaultMyCall = QStringLiteral("Hello");
    fields.MySelCall = QStringLiteral("User");
}
