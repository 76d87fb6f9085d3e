#include "operations/CallList.h"

#include <QIODevice>

#include "host/CharTable.h"

namespace {
// Reads one line without its end (CR LF, LF or CR alone) and keeps at most
// its first `keep` bytes; the rest of a long line is skipped. False at the
// end of the file with nothing read.
bool ReadLine(QIODevice& file, QByteArray& line, int keep) {
    line.clear();
    char c = 0;
    if (!file.getChar(&c)) return false;
    do {
        if (c == '\n') break;
        if (c == '\r') {
            char next = 0;
            if (file.getChar(&next) && next != '\n') file.ungetChar(next);
            break;
        }
        if (line.size() < keep) line += c;
    } while (file.getChar(&c));
    return true;
}
} // namespace

void CallList::Read(QIODevice& file) {
    entries_.clear();
    QByteArray line;
    while (entries_.size() < kMaxEntries && ReadLine(file, line, kListedLength)) {
        if (!line.isEmpty()) entries_ << CharTable::ToString(line);
    }
}

QString CallList::Entry(int n) const {
    if (n < 1 || n > entries_.size()) return QString();
    return entries_.at(n - 1);
}
