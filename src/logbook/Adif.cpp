#include "logbook/Adif.h"

#include "logbook/LogBookRecord.h"

namespace Adif {

namespace {
const QByteArray kLineEnd = QByteArrayLiteral("\r\n");
} // namespace

QByteArray Field(const char* name, const QByteArray& value) {
    if (value.isEmpty()) return QByteArray();
    return '<' + QByteArray(name) + ':' + QByteArray::number(value.size()) + '>' + value;
}

QByteArray Ascii(const QString& text) {
    QByteArray out;
    out.reserve(text.size());
    for (const QChar c : text) {
        if (c.unicode() < 0x80) {
            out.append(char(c.unicode()));
            continue;
        }
        switch (c.unicode()) {
        case 0x00DF: out += "ss"; continue; // ß
        case 0x00C6: out += "AE"; continue;
        case 0x00E6: out += "ae"; continue;
        case 0x0152: out += "OE"; continue;
        case 0x0153: out += "oe"; continue;
        case 0x00D8: out += 'O'; continue;
        case 0x00F8: out += 'o'; continue;
        case 0x00D0: out += 'D'; continue;
        case 0x00F0: out += 'd'; continue;
        case 0x0110: out += 'D'; continue;
        case 0x0111: out += 'd'; continue;
        case 0x0141: out += 'L'; continue;
        case 0x0142: out += 'l'; continue;
        case 0x00DE: out += "TH"; continue;
        case 0x00FE: out += "th"; continue;
        case 0x00A0: out += ' '; continue;
        case 0x2018: case 0x2019: case 0x201A: out += '\''; continue;
        case 0x201C: case 0x201D: case 0x201E: out += '"'; continue;
        case 0x2013: case 0x2014: out += '-'; continue;
        case 0x2026: out += "..."; continue;
        case 0x20AC: out += "EUR"; continue;
        default: break;
        }
        // A letter with marks is the letter alone.
        for (const QChar d : QString(c).normalized(QString::NormalizationForm_KD))
            if (d.unicode() < 0x80) out.append(char(d.unicode()));
    }
    return out;
}

QByteArray Value(const QString& text) {
    QByteArray bytes = Ascii(text);
    // A control byte would break the one-record-a-line layout.
    for (char& b : bytes)
        if (quint8(b) < 0x20 || quint8(b) == 0x7F) b = ' ';
    return bytes.trimmed();
}

QByteArray Header(const QString& programVersion, const QDateTime& createdUtc) {
    QByteArray out = "Dervalo contacts, ADIF " + QByteArray(kAdifVersion) + kLineEnd;
    out += Field("ADIF_VER", kAdifVersion) + kLineEnd;
    out += Field("PROGRAMID", "Dervalo") + kLineEnd;
    out += Field("PROGRAMVERSION", Value(programVersion)) + kLineEnd;
    out += Field("CREATED_TIMESTAMP",
                 createdUtc.toUTC().toString(QStringLiteral("yyyyMMdd HHmmss")).toLatin1()) +
           kLineEnd;
    out += "<EOH>" + kLineEnd;
    return out;
}

Mode ModeOf(const QString& modeName, const QString& linkState) {
    if (modeName == QLatin1String("PACTOR")) return {"PAC", ""};
    if (modeName == QLatin1String("AMTOR"))
        return {"TOR", linkState == QLatin1String("FEC") ? "AMTORFEC" : ""};
    if (modeName == QLatin1String("RTTY")) return {"RTTY", ""};
    if (modeName == QLatin1String("MORSE")) return {"CW", ""};
    if (modeName == QLatin1String("ASCII")) return {"RTTY", "ASCI"};
    if (modeName == QLatin1String("PACKET")) return {"PKT", ""};
    return {};
}

QByteArray Record(const Contact& c) {
    QByteArray out = Field("CALL", Value(c.call));
    if (c.on && c.on->isValid()) {
        const QDateTime utc = c.on->toUTC();
        out += Field("QSO_DATE", utc.toString(QStringLiteral("yyyyMMdd")).toLatin1());
        out += Field("TIME_ON", utc.toString(QStringLiteral("HHmmss")).toLatin1());
    }
    if (c.off && c.off->isValid())
        out += Field("TIME_OFF", c.off->toUTC().toString(QStringLiteral("HHmmss")).toLatin1());
    out += Field("BAND", Value(c.band));
    out += Field("FREQ", c.freq);
    out += Field("MODE", c.mode.mode);
    out += Field("SUBMODE", c.mode.submode);
    out += Field("NAME", Value(c.name));
    out += Field("QTH", Value(c.qth));
    out += Field("COMMENT", Value(c.info));
    out += Field("STATION_CALLSIGN", Value(c.stationCall));
    out += Field("OPERATOR", Value(c.operatorCall));
    out += Field("MY_GRIDSQUARE", Value(c.myGrid));
    return out + "<EOR>" + kLineEnd;
}

Contact FromLogBook(const char* record, const QLocale& locale, int thisYear,
                    const QString& stationCall) {
    const auto text = [record](TLogBookRecord::Field f) {
        return TLogBookRecord::TextAt(record, f);
    };
    Contact c;
    c.call = text(TLogBookRecord::Call);
    c.name = text(TLogBookRecord::Name);
    c.qth = text(TLogBookRecord::Qth);
    c.info = text(TLogBookRecord::Info);
    c.stationCall = stationCall;
    const auto date = LogBookText::ReadShortDate(locale, text(TLogBookRecord::Date), thisYear);
    const auto time = LogBookText::ReadLongTime(locale, text(TLogBookRecord::Time));
    // Written in the local time of the machine (an hour the change to summer
    // time skipped is no time at all).
    if (date && time) {
        const QDateTime local(*date, *time);
        if (local.isValid()) c.on = local;
    }
    return c;
}

Export ExportLogBook(const QByteArray& logbook, const QLocale& locale, const QDateTime& now,
                     const QString& stationCall, const QString& programVersion) {
    Export out;
    out.text = Header(programVersion, now);
    const qint64 count = TLogBookRecord::WholeRecords(logbook.size());
    for (qint64 n = 0; n < count; ++n) {
        const char* record = logbook.constData() + n * TLogBookRecord::kSize;
        bool blank = true;
        for (int f = 0; f < TLogBookRecord::kFieldCount && blank; ++f)
            blank = Value(TLogBookRecord::TextAt(record, TLogBookRecord::Field(f))).isEmpty();
        if (blank) {
            ++out.emptyLeftOut;
            continue;
        }
        const Contact c = FromLogBook(record, locale, now.date().year(), stationCall);
        out.text += Record(c);
        ++out.contacts;
        if (!c.on) ++out.withoutOn;
    }
    return out;
}

} // namespace Adif
