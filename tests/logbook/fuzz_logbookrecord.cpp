// Fuzz target: logbook records and files. Records as the entry window writes
// them, damaged (length bytes beyond their field, control bytes, 0xFF), and
// noise; files of any size, also not a multiple of 130. The texts of a record
// keep to their fields, the viewer's lines to one line each, a record stored
// again from its texts gives back its counted bytes, and the export takes
// whole records only.
#include "FuzzDriver.h"
#include "logbook/Adif.h"
#include "logbook/LogBookRecord.h"

namespace {

constexpr TLogBookRecord::Field kFields[] = {TLogBookRecord::Call, TLogBookRecord::Name,
                                             TLogBookRecord::Qth,  TLogBookRecord::Date,
                                             TLogBookRecord::Time, TLogBookRecord::Info};

QByteArray MakeRecord(Fuzz::Random& r) {
    static const char* const kTexts[] = {"PA3XYZ      ", "Jan", "Z\xFCrich",  "05-03-26 ",
                                         "09:07:00 ",    "",    "\r\n\t\x7F", "\x81\x8D\x90"};
    LogBookText::Entry e;
    e.call = QString::fromLatin1(r.Pick(kTexts));
    e.name = QString::fromLatin1(r.Pick(kTexts));
    e.qth = QString::fromLatin1(r.Pick(kTexts));
    e.date = QString::fromLatin1(r.Pick(kTexts));
    e.time = QString::fromLatin1(r.Pick(kTexts));
    e.info = QString::fromLatin1(r.Pick(kTexts)) + QString::fromLatin1(r.Bytes(r.Below(50)));
    TLogBookRecord record;
    LogBookText::Fill(record, e);
    QByteArray bytes = record.Bytes();
    if (r.OneIn(2)) {
        for (qint64 n = r.Between(1, 6); n > 0; --n)
            bytes[qsizetype(r.Below(130))] = r.OneIn(2) ? char(0xFF) : r.Byte();
    }
    return bytes;
}

QByteArray MakeFile(Fuzz::Random& r) {
    if (r.OneIn(5)) return r.Bytes(r.Length(400, 3000));
    QByteArray file;
    for (qint64 n = r.Below(6); n > 0; --n)
        file += MakeRecord(r);
    if (r.OneIn(2)) file += r.Bytes(r.Below(130)); // a piece at the end
    return file;
}

QString CheckRecord(const char* bytes, int number) {
    const TLogBookRecord record = TLogBookRecord::FromBytes(QByteArray(bytes, 130));
    TLogBookRecord again;
    for (const TLogBookRecord::Field f : kFields) {
        const QString text = TLogBookRecord::TextAt(bytes, f);
        FUZZ_EXPECT(text.size() <= TLogBookRecord::Capacity(f), text);
        FUZZ_EXPECT(text == record.Text(f), text);
        again.SetText(f, text);
        // Stored again: the length byte (cut to the field) and the counted
        // characters are the same bytes.
        const int at = TLogBookRecord::Offset(f);
        const int length = qMin(int(quint8(bytes[at])), TLogBookRecord::Capacity(f));
        FUZZ_EXPECT(again.Bytes().mid(at, 1 + length) ==
                        QByteArray(1, char(length)) + QByteArray(bytes + at + 1, length),
                    QStringLiteral("field %1 of record %2").arg(int(f)).arg(number));
    }
    const QString line = LogBookText::ListLine(number, bytes);
    FUZZ_EXPECT(line.size() <= 136, line);
    for (const QChar c : line)
        FUZZ_EXPECT(c.unicode() >= 0x20 && c.unicode() != 0x7F, line);
    const QString call = record.Text(TLogBookRecord::Call);
    FUZZ_EXPECT(LogBookText::CallBeginsWith(bytes, call.left(3)), call);
    return QString();
}

QString Check(const QByteArray& file) {
    const qint64 whole = TLogBookRecord::WholeRecords(file.size());
    FUZZ_EXPECT(whole * 130 <= file.size() && file.size() - whole * 130 < 130, QString());
    for (int n = 0; n < whole; ++n) {
        const QString problem = CheckRecord(file.constData() + qsizetype(n) * 130, n);
        if (!problem.isEmpty()) return problem;
    }
    // A shorter piece is filled up with zeros.
    const TLogBookRecord piece = TLogBookRecord::FromBytes(file.right(file.size() % 130));
    FUZZ_EXPECT(piece.Bytes().size() == 130, QString());
    // The export: one record for each whole record that holds anything.
    const Adif::Export out =
        Adif::ExportLogBook(file, QLocale::c(), QDateTime(QDate(2026, 3, 5), QTime(9, 7), Qt::UTC),
                            QStringLiteral("PA3XYZ"), QStringLiteral("3.01"));
    FUZZ_EXPECT(out.contacts + out.emptyLeftOut == whole,
                QStringLiteral("%1 + %2").arg(out.contacts).arg(out.emptyLeftOut));
    FUZZ_EXPECT(out.text.count("<EOR>") == out.contacts, QString::fromLatin1(out.text));
    return QString();
}

} // namespace

DERVALO_FUZZ_MAIN(Fuzz::NoSetup, MakeFile, Check, 0x130, 20000)
