#include "operations/CallList.h"

#include <QIODevice>

#include "host/CharTable.h"

namespace {
// Reads one line without its end (CR LF, LF or CR alone) and keeps at most
// its first `keep` bytes; the rest of a long line is skipped. Takes no more
// than `budget` bytes (and counts them off): a device or a huge file under
// the name ends the list there. False when nothing more is read.
bool ReadLine(QIODevice& file, QByteArray& line, int keep, qint64& budget) {
    line.clear();
    char c = 0;
    const auto next = [&](char* byte) { return budget > 0 && file.getChar(byte) && budget-- > 0; };
    if (!next(&c)) return false;
    do {
        if (c == '\n') break;
        if (c == '\r') {
            char after = 0;
            if (next(&after) && after != '\n') {
                file.ungetChar(after);
                ++budget;
            }
            break;
        }
        if (line.size() < keep) line += c;
    } while (next(&c));
    return true;
}
} // namespace

void CallList::Read(QIODevice& file) {
    entries_.clear();
    QByteArray line;
    qint64 budget = kReadLimit;
    while (entries_.size() < kMaxEntries && ReadLine(file, line, kListedLength, budget)) {
        if (!line.isEmpty()) entries_ << CharTable::ToString(line);
    }
}

QString CallList::Entry(int n) const {
    if (n < 1 || n > entries_.size()) return QString();
    return entries_.at(n - 1);
}
