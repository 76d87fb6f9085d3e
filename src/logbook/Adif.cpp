#include "logbook/Adif.h"

#include "host/CharTable.h"
#include "logbook/LogBookRecord.h"

namespace Adif {

namespace {
const QByteArray kLineEnd = QByteArrayLiteral("\r\n");
} // namespace

QByteArray Field(const char* name, const QByteArray& value) {
    if (value.isEmpty()) return QByteArray();
    return '<' + QByteArray(name) + ':' + QByteArray::number(value.size()) + '>' + value;
}

QByteArray Value(const QString& text) {
    QByteArray bytes = CharTable::ToBytes(text);
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
    out += Field("MODE", c.mode.mode);
    out += Field("SUBMODE", c.mode.submode);
    out += Field("NAME", Value(c.name));
    out += Field("QTH", Value(c.qth));
    out += Field("COMMENT", Value(c.info));
    out += Field("STATION_CALLSIGN", Value(c.stationCall));
    return out + "<EOR>" + kLineEnd;
}

Contact FromLogBook(const char* record, const QLocale& locale, int thisYear,
                    const QString& stationCall) {
    const auto text = [record](TLogBookRecord::Field f) {
        return TLogBookRecord::TextAt(record, f);
    };
    Contact c{text(TLogBookRecord::Call),
              text(TLogBookRecord::Name),
              text(TLogBookRecord::Qth),
              text(TLogBookRecord::Info),
              stationCall,
              std::nullopt,
              {}};
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
