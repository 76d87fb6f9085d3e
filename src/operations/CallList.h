#pragma once

#include <QString>
#include <QStringList>
#include <QtGlobal>

class QIODevice;

// The calls offered by the list call, as read from "Dervalo.cal": one call
// per line, in the file's order. Lines are taken as they are (no trimming);
// empty lines are skipped; each entry keeps at most the first 11 characters
// of its line, and at most 10 entries are held (later lines are ignored).
// Entries are numbered from 1; entry 0 is always empty.
class CallList {
public:
    static constexpr int kMaxEntries = 10;
    static constexpr int kListedLength = 11; // characters kept of a line
    static constexpr int kCallLength = 8;    // characters of an entry that are called
    // No call list is bigger, long lines skipped included: reading stops
    // after this many bytes, so a huge file or a device under the name
    // holds nothing up.
    static constexpr qint64 kReadLimit = 4 * 1024 * 1024;

    // Empties the list, then reads the lines of `file` (open for reading).
    // Reading stops after the tenth entry; of a long line only its first
    // characters are held. Line ends are CR LF, LF or CR alone.
    void Read(QIODevice& file);
    void Clear() { entries_.clear(); }

    // CallListCount: the number of entries held, 0 to 10.
    int Count() const { return int(entries_.size()); }
    // Entry n as listed; empty for 0 and for numbers beyond the count.
    QString Entry(int n) const;
    // The call entry n stands for: its first 8 characters.
    QString Call(int n) const { return Entry(n).left(kCallLength); }

private:
    QStringList entries_;
};
