#pragma once

#include <QByteArray>
#include <QHash>
#include <QLocale>
#include <QString>
#include <QVector>

#include "logbook/WorkedBeforeLookup.h"

// Worked before: the logbook read once into an index by call, kept current
// record by record as records are written and the file is cut. No widgets,
// no files.
class WorkedBeforeIndex {
public:
    struct Entry {
        QString call, name, qth, date; // trimmed texts; call in capitals
    };
    using Found = WorkedBeforeLookup;

    // The whole logbook file; `locale` and `thisYear` read its dates back.
    void Build(const QByteArray& logbook, const QLocale& locale, int thisYear);
    bool Built() const { return built_; }
    // Record n (130 bytes at `record`) has been written; n may be the count
    // (a new record at the end).
    void Set(qint32 n, const char* record);
    // The file has been cut after `records` records.
    void Cut(qint32 records);
    qint32 Size() const { return qint32(entries_.size()); }

    Found Lookup(const QString& call) const;
    // "worked 2x before, last 2026-11-02, Piet, Utrecht" or "first contact".
    static QString Describe(const Found& found);

private:
    static QString Key(const QString& call);
    void Remove(qint32 n);
    QVector<Entry> entries_;
    QHash<QString, QVector<qint32>> byCall_; // record numbers, ascending
    QLocale locale_;
    int thisYear_ = 2000;
    bool built_ = false;
};
