// Fuzz target: the call-list reader. Lists as an operator writes them (calls,
// blank and empty lines, every kind of line end), damaged, and noise, also
// with lines of many KB and thousands of lines. At most 10 entries of 1 to 11
// characters, each the start of a non-empty line, in the file's order.
#include <QBuffer>

#include "FuzzDriver.h"
#include "host/CharTable.h"
#include "operations/CallList.h"

namespace {

QByteArray MakeList(Fuzz::Random& r) {
    if (r.OneIn(10)) return r.Bytes(r.Length(300, 100000));
    static const char* const kCalls[] = {"PA3XYZ", "DL1ABC/P", " G4ABC ",  "PA3XYZ/MM/QRP",
                                         "",       "\t",       "\xE9\x80", "ABCDEFGHIJK"};
    QByteArray list;
    for (qint64 n = r.Below(16); n > 0; --n)
        list += QByteArray(r.Pick(kCalls)) + (r.OneIn(3) ? r.LineEnds() : QByteArray("\r\n"));
    if (r.OneIn(40)) list += QByteArray(qsizetype(r.Between(1000, 5000)), '\n');
    return r.OneIn(2) ? r.Mutate(list, int(r.Between(1, 3))) : list;
}

// The non-empty lines of the bytes, a line ending at CR LF, LF or CR alone.
QList<QByteArray> Lines(const QByteArray& bytes) {
    QByteArray s = bytes;
    s.replace("\r\n", "\n").replace('\r', '\n');
    QList<QByteArray> lines;
    for (const QByteArray& line : s.split('\n'))
        if (!line.isEmpty()) lines << line;
    return lines;
}

QString Check(const QByteArray& content) {
    QBuffer file;
    file.setData(content);
    file.open(QIODevice::ReadOnly);
    CallList list;
    list.Read(file);
    const QList<QByteArray> lines = Lines(content);
    FUZZ_EXPECT(list.Count() == qMin<qsizetype>(lines.size(), CallList::kMaxEntries),
                QString::number(list.Count()));
    FUZZ_EXPECT(list.Entry(0).isEmpty() && list.Entry(list.Count() + 1).isEmpty(), QString());
    for (int n = 1; n <= list.Count(); ++n) {
        const QString entry = list.Entry(n);
        FUZZ_EXPECT(entry == CharTable::ToString(lines[n - 1].left(CallList::kListedLength)),
                    entry);
        FUZZ_EXPECT(list.Call(n) == entry.left(CallList::kCallLength), entry);
    }
    return QString();
}

} // namespace

DERVALO_FUZZ_MAIN(Fuzz::NoSetup, MakeList, Check, 0xCA1, 30000)
