// Worked before with a logbook of 10,000 records: building the index from
// the whole file, and one lookup of a call (the mean of many, calls found
// and not found alike). Run: build with -DDERVALO_BENCH=ON, then
// ./bench_workedbefore; with "--tsv" the figures come as
// "name<TAB>value<TAB>unit" lines (BenchReport.h).
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLocale>
#include <cstdio>

#include "BenchReport.h"
#include "logbook/LogBookRecord.h"
#include "logbook/WorkedBefore.h"

namespace {
// One record: counted texts of 20, 20, 20, 12, 12 and 40 characters.
QByteArray Record(const QByteArray& call, const QByteArray& name, const QByteArray& qth) {
    const auto counted = [](const QByteArray& text, int room) {
        return QByteArray(1, char(text.size())) + text + QByteArray(room - text.size(), '\0');
    };
    return counted(call.leftJustified(12, ' '), 20) + counted(name.leftJustified(20, ' '), 20) +
           counted(qth.leftJustified(20, ' '), 20) + counted("11/2/26 ", 12) +
           counted("9:07:00 PM ", 12) + counted("", 40);
}
} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const bench::Report report(argc, argv);
    constexpr int kRecords = 10000;
    QByteArray logbook;
    // 2,500 different calls, each worked four times.
    for (int i = 0; i < kRecords; ++i)
        logbook += Record("PA" + QByteArray::number(i % 2500) + "X", "Name" + QByteArray::number(i),
                          "Qth" + QByteArray::number(i));

    QElapsedTimer t;
    t.start();
    WorkedBeforeIndex index;
    index.Build(logbook, QLocale(QLocale::English, QLocale::UnitedStates), 2026);
    const double buildMs = double(t.nsecsElapsed()) / 1e6;

    constexpr int kLookups = 20000;
    int found = 0;
    t.restart();
    for (int i = 0; i < kLookups; ++i) {
        const QString call = QStringLiteral("PA%1X").arg(i % 5000); // half of them new
        found += WorkedBeforeIndex::Describe(index.Lookup(call)).size() > 13;
    }
    const double lookupUs = double(t.nsecsElapsed()) / 1e3 / kLookups;

    report.Figure("workedbefore_build", buildMs, "ms");
    report.Figure("workedbefore_lookup", lookupUs, "us");
    if (!report.Tsv())
        std::printf("index of %d records built in %.2f ms; one lookup %.2f us (%d of %d found)\n",
                    kRecords, buildMs, lookupUs, found, kLookups);
    return found == kLookups / 2 ? 0 : 1;
}
