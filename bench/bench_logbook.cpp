// How fast the logbook goes with 10,000 records: listing it in the viewer,
// searching it for a call, exporting it as ADIF, and deleting its first record (every later record
// moves up one place). Run: build with -DDERVALO_BENCH=ON, then
// QT_QPA_PLATFORM=offscreen ./bench_logbook; with "--tsv" the figures come as
// "name<TAB>value<TAB>unit" lines (BenchReport.h).
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <cstdio>

#include "BenchReport.h"
#include "link/MemorySerialBackend.h"
#include "logbook/LogBookEditForm.h"
#include "logbook/LogBookRecord.h"
#include "logbook/LogBookShowForm.h"
#include "shell/Clock.h"
#include "shell/HoofdForm.h"
#include "shell/Prompts.h"

namespace {
// Prompts that show nothing: OK to every box, a fixed call to the input box,
// and beeps only counted.
class SilentPrompts : public QtPrompts {
public:
    QString call;
    QString saveAs;
    int beeps = 0;
    Answer MessageBox(const QString&, const QString&, Buttons) override { return Answer::Ok; }
    bool Confirm(const QString&, const QString&) override { return true; }
    std::optional<QString> InputBox(const QString&, const QString&, const QString&) override {
        return call;
    }
    QString SaveFileName(const QString&, const QString&, const QString&) override { return saveAs; }
    void Beep() override { ++beeps; }
};

double Ms(QElapsedTimer& t) {
    const double ms = double(t.nsecsElapsed()) / 1e6;
    t.restart();
    return ms;
}
} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir dir;
    VirtualClock clock;
    MemorySerialBackend serial(&clock);
    SilentPrompts prompts;
    THoofdForm form(serial, clock, prompts, dir.path());
    form.CreateDialogs();
    form.StopTimers();

    const int records = 10000;
    QByteArray file;
    file.reserve(records * TLogBookRecord::kSize);
    for (int i = 0; i < records; ++i) {
        TLogBookRecord r;
        LogBookText::Fill(r, {QStringLiteral("PA%1XY").arg(i), QStringLiteral("Name %1").arg(i),
                              QStringLiteral("Town %1").arg(i % 97), QStringLiteral("3/5/26 "),
                              QStringLiteral("9:07:00 AM "), QStringLiteral("tnx fer qso 73")});
        file += r.Bytes();
    }
    {
        QFile f(dir.filePath(QStringLiteral("Halvuro.log")));
        if (!f.open(QIODevice::WriteOnly) || f.write(file) != file.size()) return 1;
    }
    form.LogBookClick();
    if (form.st.LogBookRecordCount != records) return 1;

    TLogBookShowForm& viewer = *form.LogBookShowForm;
    QElapsedTimer t;
    t.start();
    viewer.ShowLogBook();
    const double listMs = Ms(t);
    viewer.show();
    QApplication::processEvents();
    const double showMs = Ms(t);
    const int lines = viewer.Logmemo->blockCount();

    prompts.call = QStringLiteral("PA99");
    viewer.SeekKnopClick();
    const double seekMs = Ms(t);
    const int found = viewer.Logmemo->blockCount();
    prompts.saveAs = dir.filePath(QStringLiteral("export.adi"));
    t.restart();
    viewer.ExportKnopClick();
    const double exportMs = Ms(t);
    const qint64 exported = QFile(prompts.saveAs).size();
    viewer.hide();

    TLogBookEditForm& editor = *form.LogBookEditForm;
    form.st.LogBookPosition = 0;
    form.ReadLogBookRecord(0);
    t.restart();
    editor.DeleteKnopClick();
    const double deleteMs = Ms(t);
    const qint64 size = QFile(dir.filePath(QStringLiteral("Halvuro.log"))).size();

    const bench::Report report(argc, argv);
    report.Figure("logbook_list", listMs, "ms");
    report.Figure("logbook_open_viewer", showMs, "ms");
    report.Figure("logbook_search", seekMs, "ms");
    report.Figure("logbook_search_found", found, "records");
    report.Figure("logbook_delete_first", deleteMs, "ms");
    if (report.Tsv()) {
        form.CloseLogBookFile();
        return 0;
    }
    std::printf("list %d records:       %.1f ms (%d lines)\n", records, listMs, lines);
    std::printf("open the viewer:          %.1f ms (shown, listed and painted)\n", showMs);
    std::printf("search for PA99:          %.1f ms (%d records found)\n", seekMs, found);
    std::printf("export as ADIF:           %.1f ms (%lld bytes)\n", exportMs, exported);
    std::printf("delete record 0:          %.1f ms (%d records moved, %d beeps, %lld bytes left)\n",
                deleteMs, records - 1, prompts.beeps, size);
    form.CloseLogBookFile();
    return 0;
}
