#include "logbook/WorkedBefore.h"

#include <algorithm>

#include "logbook/LogBookRecord.h"

namespace {
WorkedBeforeIndex::Entry EntryOf(const char* record) {
    const auto text = [record](TLogBookRecord::Field f) {
        return TLogBookRecord::TextAt(record, f).trimmed();
    };
    return {text(TLogBookRecord::Call).toUpper(), text(TLogBookRecord::Name),
            text(TLogBookRecord::Qth), text(TLogBookRecord::Date)};
}
} // namespace

QString WorkedBeforeIndex::Key(const QString& call) {
    return call.trimmed().toUpper();
}

void WorkedBeforeIndex::Build(const QByteArray& logbook, const QLocale& locale, int thisYear) {
    entries_.clear();
    byCall_.clear();
    locale_ = locale;
    thisYear_ = thisYear;
    const qint64 count = TLogBookRecord::WholeRecords(logbook.size());
    entries_.reserve(count);
    for (qint64 n = 0; n < count; ++n) {
        entries_.append(EntryOf(logbook.constData() + n * TLogBookRecord::kSize));
        if (!entries_.last().call.isEmpty()) byCall_[entries_.last().call].append(qint32(n));
    }
    built_ = true;
}

void WorkedBeforeIndex::Remove(qint32 n) {
    const auto it = byCall_.find(entries_[n].call);
    if (it == byCall_.end()) return;
    it->removeOne(n);
    if (it->isEmpty()) byCall_.erase(it);
}

void WorkedBeforeIndex::Set(qint32 n, const char* record) {
    if (n < 0 || n > Size()) return;
    if (n == Size())
        entries_.append(Entry());
    else
        Remove(n);
    entries_[n] = EntryOf(record);
    if (entries_[n].call.isEmpty()) return;
    QVector<qint32>& list = byCall_[entries_[n].call];
    list.insert(std::lower_bound(list.begin(), list.end(), n), n);
}

void WorkedBeforeIndex::Cut(qint32 records) {
    while (Size() > qMax(0, records)) {
        Remove(Size() - 1);
        entries_.removeLast();
    }
}

WorkedBeforeIndex::Found WorkedBeforeIndex::Lookup(const QString& call) const {
    Found f;
    const auto it = byCall_.constFind(Key(call));
    if (it == byCall_.constEnd()) return f;
    f.count = int(it->size());
    const Entry& last = entries_[it->last()];
    const auto date = LogBookText::ReadShortDate(locale_, last.date, thisYear_);
    f.last = date ? date->toString(Qt::ISODate) : last.date;
    // The last name and QTH given: a later record without them keeps them.
    for (auto n = it->crbegin(); n != it->crend() && (f.name.isEmpty() || f.qth.isEmpty()); ++n) {
        if (f.name.isEmpty()) f.name = entries_[*n].name;
        if (f.qth.isEmpty()) f.qth = entries_[*n].qth;
    }
    return f;
}

QString WorkedBeforeIndex::Describe(const Found& found) {
    if (found.count == 0) return QStringLiteral("first contact");
    QString out = QStringLiteral("worked %1x before").arg(found.count);
    if (!found.last.isEmpty()) out += QStringLiteral(", last ") + found.last;
    for (const QString& part : {found.name, found.qth})
        if (!part.isEmpty()) out += QStringLiteral(", ") + part;
    return out;
}
