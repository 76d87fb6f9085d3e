// The program's own files when the disk lets it down: missing, empty, binary
// or huge files, and folders that are full or read-only for real (a small
// tmpfs of the test's own). Nothing crashes or hangs, a reader reads a
// bounded amount, a message says what went wrong, and nothing already stored
// is lost.
#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QtTest>

#include <sys/stat.h>

#include "FormFixture.h"
#include "LogBookSupport.h"
#include "SmallFs.h"
#include "host/Frames.h"
#include "logbook/LogBookEditForm.h"
#include "logbook/LogBookInvulForm.h"
#include "logbook/LogBookRecord.h"
#include "logbook/LogBookShowForm.h"
#include "logbook/LogBookWidgets.h"
#include "operations/CallList.h"
#include "operations/ListConnectForm.h"
#include "shell/ExtraSettings.h"

using LogBookSupport::NumberedRecords;

namespace {

QString g_mountProblem; // why no small file system can be made, if so

constexpr qint64 kHuge = 50 * 1024 * 1024;

QByteArray Binary(int size) {
    QByteArray out(size, '\0');
    for (int i = 0; i < size; ++i)
        out[i] = char((i * 167 + 13) % 256);
    return out;
}

// A sparse file of 50 MB: nothing on the disk, everything for a reader.
bool MakeHuge(const QString& path, const QByteArray& head = {}) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(head) == head.size() &&
           f.resize(kHuge);
}

// The growth of the peak resident memory while `step` runs, in kilobytes.
qint64 PeakGrowthKb(const std::function<void()>& step) {
    const auto peak = [] {
        QFile status(QStringLiteral("/proc/self/status"));
        if (!status.open(QIODevice::ReadOnly)) return qint64(0);
        for (const QByteArray& line : status.readAll().split('\n'))
            if (line.startsWith("VmHWM:"))
                return line.mid(6).trimmed().split(' ').at(0).toLongLong();
        return qint64(0);
    };
    QFile reset(QStringLiteral("/proc/self/clear_refs"));
    if (reset.open(QIODevice::WriteOnly)) reset.write("5"); // the peak starts again from now
    reset.close();
    const qint64 before = peak();
    step();
    return peak() - before;
}

// A device that hands out `size` zero bytes and counts what was taken.
class Zeros : public QIODevice {
public:
    explicit Zeros(qint64 size) : size_(size) { open(QIODevice::ReadOnly); }
    qint64 taken = 0;

protected:
    qint64 readData(char* data, qint64 max) override {
        const qint64 n = qMin(max, size_ - taken);
        memset(data, 0, size_t(qMax<qint64>(n, 0)));
        taken += qMax<qint64>(n, 0);
        return n > 0 ? n : -1;
    }
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    qint64 size_;
};

// A settings file in `folder`, so that the start says nothing.
bool PutSettings(const QString& folder) {
    QFile ini(QDir(folder).filePath(QStringLiteral("Dervalo.INI")));
    return ini.open(QIODevice::WriteOnly) && ini.write(FormFixture::Settings()) > 0;
}

#define REQUIRE_SMALL_FS(folder)                                                                   \
    if (!g_mountProblem.isEmpty()) QSKIP(qPrintable("no small file system: " + g_mountProblem));   \
    QVERIFY2((folder).Ok(), qPrintable((folder).Error()))

} // namespace

class FileFaultsTest : public QObject {
    Q_OBJECT
private slots:
    void settingsReadFaults_data();
    void settingsReadFaults();
    void settingsWriteKeepsTheOldFile_data();
    void settingsWriteKeepsTheOldFile();
    void ownTextFile();
    void callListReadIsBounded();
    void callListFaults();
    void cqFileFaults();
    void logBookAppendOnAFullOrReadOnlyDisk();
    void damagedLogBookLosesNothing();
    void journalAndExportOnAFullDisk();
    void captureOnAFullOrReadOnlyDisk();
};

// ---- the settings file ----

void FileFaultsTest::settingsReadFaults_data() {
    QTest::addColumn<int>("kind");
    QTest::newRow("missing") << 0;
    QTest::newRow("empty") << 1;
    QTest::newRow("binary") << 2;
    QTest::newRow("huge") << 3;
    QTest::newRow("/dev/zero") << 4;
}

void FileFaultsTest::settingsReadFaults() {
    QFETCH(int, kind);
    FormFixture f;
    const QString ini = f.Path("Dervalo.INI");
    if (kind == 1) f.WriteFile("Dervalo.INI", "");
    if (kind == 2) f.WriteFile("Dervalo.INI", Binary(5000));
    if (kind == 3) QVERIFY(MakeHuge(ini));
    if (kind == 4) QVERIFY(QFile::link("/dev/zero", ini));
    // No more than a settings file's worth is read, and the defaults apply.
    const qint64 grown = PeakGrowthKb([&] { f.Create(); });
    QVERIFY2(grown < 20 * 1024, qPrintable(QString::number(grown) + " KB"));
    QCOMPARE(f.prompts.Boxes(), QStringList{"Dervalo    Warning|Dervalo.ini not found on disk"});
    QCOMPARE(f.form->st.PortName, QStringLiteral("COM4"));
}

void FileFaultsTest::settingsWriteKeepsTheOldFile_data() {
    QTest::addColumn<bool>("readOnly");
    QTest::newRow("full folder") << false;
    QTest::newRow("read-only folder") << true;
}

void FileFaultsTest::settingsWriteKeepsTheOldFile() {
    QFETCH(bool, readOnly);
    SmallFolder disk(64 * 1024);
    REQUIRE_SMALL_FS(disk);
    FormFixture f;
    const QByteArray old = FormFixture::Settings("COM2", "4800");
    {
        QFile ini(disk.FilePath("Dervalo.INI"));
        QVERIFY(ini.open(QIODevice::WriteOnly));
        ini.write(old);
    }
    THoofdForm form(f.serial, f.clock, f.prompts, disk.Path());
    form.CreateDialogs();
    form.st.PortName = QStringLiteral("COM3"); // something new to store
    QVERIFY(readOnly ? disk.SetReadOnly(true) : disk.Fill());
    f.prompts.confirmAnswers.enqueue(false);
    QVERIFY(!form.FormCloseQuery());
    // Not saved, and said so; the old file is as it was, and the program
    // goes on (a second close request says it again).
    QCOMPARE(f.prompts.Boxes(), QStringList{"Warning|Error writing file to disk"});
    QFile ini(disk.FilePath("Dervalo.INI"));
    QVERIFY(ini.open(QIODevice::ReadOnly));
    QCOMPARE(ini.readAll(), old);
    QCOMPARE(QDir(disk.Path()).entryList(QDir::Files | QDir::Hidden).filter("Dervalo"),
             QStringList{"Dervalo.INI"});
    f.prompts.confirmAnswers.enqueue(false);
    form.FormCloseQuery();
    QCOMPARE(f.prompts.Boxes().size(), 2);
    disk.SetReadOnly(false);
}

// ---- "Dervalo-extra.ini" ----

void FileFaultsTest::ownTextFile() {
    // Broken files give the default colour without a word, read bounded.
    for (int kind = 0; kind < 5; ++kind) {
        QTemporaryDir dir;
        const QString path = dir.filePath(ExtraSettings::kFileName);
        if (kind == 4) QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        if (kind == 1) QVERIFY(QFile(path).open(QIODevice::WriteOnly));
        if (kind == 2) {
            QFile b(path);
            QVERIFY(b.open(QIODevice::WriteOnly) && b.write(Binary(3000)) == 3000);
        }
        if (kind == 3) QVERIFY(MakeHuge(path));
        QColor read;
        const qint64 grown =
            PeakGrowthKb([&] { read = ExtraSettings::ReadEchoColour(dir.path()); });
        QCOMPARE(read, ExtraSettings::DefaultEchoColour());
        QVERIFY2(grown < 20 * 1024, qPrintable(QString::number(grown) + " KB"));
    }

    // A full or read-only folder: the message, and the old file as it was.
    for (const bool readOnly : {false, true}) {
        SmallFolder disk(64 * 1024);
        REQUIRE_SMALL_FS(disk);
        const QByteArray old = "Other=1\r\nEchoColour=#123456\r\n";
        {
            QFile file(disk.FilePath(ExtraSettings::kFileName));
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write(old) == old.size());
        }
        QVERIFY(PutSettings(disk.Path()));
        FormFixture f;
        THoofdForm form(f.serial, f.clock, f.prompts, disk.Path());
        form.CreateDialogs();
        QVERIFY(readOnly ? disk.SetReadOnly(true) : disk.Fill());
        f.prompts.colorAnswers.enqueue(QColor(1, 2, 3));
        form.Guarded([&] { form.MenuEchoColorClick(); });
        QCOMPARE(f.prompts.Boxes(),
                 QStringList{"Dervalo|Error writing " + disk.FilePath(ExtraSettings::kFileName)});
        QFile file(disk.FilePath(ExtraSettings::kFileName));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), old);
        disk.SetReadOnly(false);
    }
}

// ---- the call list and the CQ files ----

void FileFaultsTest::callListReadIsBounded() {
    // One endless line: the first 11 bytes are the one entry, and the reader
    // gives up long before 50 MB.
    Zeros zeros(kHuge);
    CallList list;
    list.Read(zeros);
    QCOMPARE(list.Count(), 1);
    QCOMPARE(list.Entry(1).size(), CallList::kListedLength);
    QVERIFY2(zeros.taken <= CallList::kReadLimit + 16 * 1024, // one read block beyond
             qPrintable(QString::number(zeros.taken)));

    // Endless empty lines: no entry, and no more read.
    QBuffer lines;
    lines.setData(QByteArray(2 * CallList::kReadLimit, '\n'));
    QVERIFY(lines.open(QIODevice::ReadOnly));
    list.Read(lines);
    QCOMPARE(list.Count(), 0);
    QVERIFY2(lines.pos() <= CallList::kReadLimit, qPrintable(QString::number(lines.pos())));
}

void FileFaultsTest::callListFaults() {
    struct Case {
        const char* name;
        int kind; // 0 missing, 1 empty, 2 binary, 3 huge, 4 /dev/zero, 5 a named pipe
        int entries;
        QStringList boxes;
    };
    const QList<Case> cases = {
        {"missing", 0, 0, {"Dervalo    Warning|Dervalo.cal not found !"}},
        {"empty", 1, 0, {}},
        {"binary", 2, 10, {}},
        {"huge", 3, 1, {}},
        {"/dev/zero", 4, 1, {}},
        {"named pipe nobody writes to", 5, 0, {}},
    };
    for (const Case& c : cases) {
        FormFixture f;
        f.WriteFile("Dervalo.INI", FormFixture::Settings());
        const QString cal = f.Path("Dervalo.cal");
        if (c.kind == 1) f.WriteFile("Dervalo.cal", "");
        if (c.kind == 2) f.WriteFile("Dervalo.cal", Binary(4000));
        if (c.kind == 3) QVERIFY(MakeHuge(cal, "PA1XYZ"));
        if (c.kind == 4) QVERIFY(QFile::link("/dev/zero", cal));
        if (c.kind == 5) QCOMPARE(::mkfifo(QFile::encodeName(cal).constData(), 0600), 0);
        THoofdForm& form = f.Create();
        f.prompts.modalActions.enqueue([](QDialog&) { return int(QDialog::Rejected); });
        form.MenuCallAListStationClick();
        QCOMPARE(form.ListConnectForm->Inputcalls->count(), c.entries);
        QVERIFY2(f.prompts.Boxes() == c.boxes, c.name);
        if (c.kind == 3)
            QVERIFY(form.ListConnectForm->Inputcalls->item(0)->text().startsWith("PA1XYZ"));
    }
}

void FileFaultsTest::cqFileFaults() {
    // Missing: the warning and nothing sent; empty: only the end of the
    // transmission; binary: every byte goes, in bounded frames.
    for (int kind = 0; kind < 3; ++kind) {
        FormFixture f;
        f.WriteFile("Dervalo.INI", FormFixture::Settings());
        if (kind == 1) f.WriteFile("Dervalo.CQA", "");
        if (kind == 2) f.WriteFile("Dervalo.CQA", Binary(2000));
        THoofdForm& form = f.Create();
        form.st.ModeName = QStringLiteral("AMTOR");
        f.serial.ClearWritten();
        form.Guarded([&] { form.AmtorCQClick(); });
        const QByteArray sent = f.Written();
        const QByteArray end = Frames::DataFrame(QByteArray(1, '\x04'));
        if (kind == 0) {
            QCOMPARE(f.prompts.Boxes(),
                     QStringList{"Dervalo    Warning|File Dervalo.CQA not found !"});
            QVERIFY(sent.isEmpty());
        } else {
            QVERIFY(f.prompts.Boxes().isEmpty());
            QVERIFY(sent.endsWith(end));
            QVERIFY(!form.st.FileTransmitActive && !form.st.SendingCQ);
        }
        if (kind == 2) QVERIFY(sent.size() > 2000);
    }
}

// ---- the logbook ----

void FileFaultsTest::logBookAppendOnAFullOrReadOnlyDisk() {
    for (const bool readOnly : {false, true}) {
        SmallFolder disk(64 * 1024);
        REQUIRE_SMALL_FS(disk);
        // 31 records end 66 bytes before a page boundary: the next one
        // needs a page the full disk has not got.
        const QByteArray old = NumberedRecords(31);
        {
            QFile book(disk.FilePath("Halvuro.log"));
            QVERIFY(book.open(QIODevice::WriteOnly) && book.write(old) == old.size());
        }
        QVERIFY(PutSettings(disk.Path()));
        FormFixture f;
        THoofdForm form(f.serial, f.clock, f.prompts, disk.Path());
        form.CreateDialogs();
        if (readOnly) {
            // A logbook that cannot be written is not switched on.
            QVERIFY(disk.SetReadOnly(true));
            form.Guarded([&] { form.LogBookClick(); });
            QCOMPARE(f.prompts.Boxes(),
                     QStringList{"Dervalo|Cannot open file " + disk.FilePath("Halvuro.log") +
                                 ": Read-only file system"});
            QVERIFY(!form.st.LogBookOn && !form.MenuEditLogBook->isEnabled());
        } else {
            form.LogBookClick();
            QCOMPARE(form.st.LogBookRecordCount, 31);
            QVERIFY(disk.Fill());
            form.LogBookInvulForm->CallEdit->setText(QStringLiteral("PA9NEW"));
            form.Guarded([&] { form.LogBookInvulForm->LogInvulSaveKnopClick(); });
            QCOMPARE(f.prompts.Boxes().size(), 1);
            QVERIFY2(f.prompts.Boxes()[0].startsWith("Dervalo|Error writing file "),
                     qPrintable(f.prompts.Boxes()[0]));
            QCOMPARE(form.st.LogBookRecordCount, 31);
            form.LogBookClick();
        }
        // Every record as it was, and no piece of the new one behind them.
        QFile book(disk.FilePath("Halvuro.log"));
        QVERIFY(book.open(QIODevice::ReadOnly));
        QCOMPARE(book.readAll(), old);
        disk.SetReadOnly(false);
    }
}

void FileFaultsTest::damagedLogBookLosesNothing() {
    // Garbage records and a piece of 40 bytes at the end: the whole
    // records are counted and listed; appending, editing and deleting move
    // the other records byte for byte.
    FormFixture f;
    f.WriteFile("Dervalo.INI", FormFixture::Settings());
    const QByteArray garbage = Binary(3 * TLogBookRecord::kSize);
    f.WriteFile("Halvuro.log", garbage + Binary(40));
    THoofdForm& form = f.Create();
    form.LogBookClick();
    QCOMPARE(form.st.LogBookRecordCount, 3);
    form.Guarded([&] { form.MenuShowLogBookClick(); });
    form.LogBookInvulForm->CallEdit->setText(QStringLiteral("PA9NEW"));
    form.Guarded([&] { form.LogBookInvulForm->LogInvulSaveKnopClick(); });
    QCOMPARE(form.st.LogBookRecordCount, 4);
    QByteArray book = f.ReadFile("Halvuro.log");
    QCOMPARE(book.size(), 4 * TLogBookRecord::kSize);
    QCOMPARE(book.left(garbage.size()), garbage);

    TLogBookEditForm& editor = *form.LogBookEditForm;
    editor.FormShow();
    editor.Recordnummer->setText(QStringLiteral("0"));
    form.Guarded([&] { editor.DeleteKnopClick(); });
    book = f.ReadFile("Halvuro.log");
    QCOMPARE(book.size(), 3 * TLogBookRecord::kSize);
    QCOMPARE(book.left(2 * TLogBookRecord::kSize), garbage.mid(TLogBookRecord::kSize));
    QVERIFY(f.prompts.Boxes().isEmpty());
}

void FileFaultsTest::journalAndExportOnAFullDisk() {
    SmallFolder disk(64 * 1024);
    REQUIRE_SMALL_FS(disk);
    // The logbook's next record still fits in its last page; the journal's
    // last page has room for 40 bytes only.
    const QByteArray old = NumberedRecords(30);
    const QByteArray journal = QByteArray(4056 - 6, 'j') + "<EOR>\n";
    {
        QFile book(disk.FilePath("Halvuro.log"));
        QVERIFY(book.open(QIODevice::WriteOnly) && book.write(old) == old.size());
        QFile adi(disk.FilePath("Dervalo.adi"));
        QVERIFY(adi.open(QIODevice::WriteOnly) && adi.write(journal) == journal.size());
    }
    QVERIFY(PutSettings(disk.Path()));
    FormFixture f;
    THoofdForm form(f.serial, f.clock, f.prompts, disk.Path());
    form.CreateDialogs();
    form.LogBookClick();
    QVERIFY(disk.Fill());
    // The contact is saved; the journal warns and keeps no half record for
    // the next contact to follow.
    form.LogBookInvulForm->CallEdit->setText(QStringLiteral("PA9NEW"));
    form.Guarded([&] { form.LogBookInvulForm->LogInvulSaveKnopClick(); });
    QCOMPARE(form.st.LogBookRecordCount, 31);
    QCOMPARE(f.prompts.Boxes().size(), 1);
    QVERIFY2(f.prompts.Boxes()[0].startsWith("Dervalo    Warning|Cannot write Dervalo.adi: "),
             qPrintable(f.prompts.Boxes()[0]));
    QFile adi(disk.FilePath("Dervalo.adi"));
    QVERIFY(adi.open(QIODevice::ReadOnly));
    QCOMPARE(adi.readAll(), journal);

    // An export on the full disk reports the failure and leaves no file.
    const QString path = disk.FilePath("export.adi");
    f.prompts.fileAnswers.enqueue(path);
    form.Guarded([&] { form.LogBookShowForm->ExportKnopClick(); });
    QCOMPARE(f.prompts.Boxes().size(), 2);
    QVERIFY2(f.prompts.Boxes()[1].startsWith("Dervalo    Warning|Cannot write " + path),
             qPrintable(f.prompts.Boxes()[1]));
    QVERIFY(!QFileInfo::exists(path));
    form.LogBookClick();
}

// ---- the capture file ----

void FileFaultsTest::captureOnAFullOrReadOnlyDisk() {
    SmallFolder disk(64 * 1024);
    REQUIRE_SMALL_FS(disk);
    FormFixture f;
    f.WriteFile("Dervalo.INI", FormFixture::Settings());
    THoofdForm& form = f.Create();
    const QString capture = disk.FilePath("capture.log");
    f.prompts.fileAnswers.enqueue(capture);
    form.MenuOpenLogFileClick();
    QVERIFY(form.st.LogFileOpen);
    const QByteArray first = "first line\r";
    f.serial.FeedInput("\x01"
                       "0" +
                       first + "\x17");
    form.SchryfintervalTimer();
    QVERIFY(disk.Fill());

    // Text arrives until the disk cannot take it: one message, capture
    // ends, and the file holds the beginning of what was shown.
    QByteArray shown = first;
    for (int i = 0; i < 40; ++i) {
        const QByteArray line = "line " + QByteArray::number(i) + " " + QByteArray(200, 'x') + "\r";
        f.serial.FeedInput("\x01"
                           "0" +
                           line + "\x17");
        shown += line;
        form.Guarded([&] { form.SchryfintervalTimer(); });
    }
    QCOMPARE(f.prompts.Boxes(), QStringList{"Dervalo|Error writing " + capture});
    QVERIFY(!form.st.LogFileOpen);
    QFile file(capture);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray kept = file.readAll();
    QVERIFY(kept.size() >= first.size() && kept.size() < shown.size());
    QCOMPARE(kept, shown.left(kept.size()));
    QCOMPARE(form.ReceiveWindow->toPlainText().size(), shown.size());

    // A read-only folder refuses the opening with a message.
    QVERIFY(disk.SetReadOnly(true));
    f.prompts.fileAnswers.enqueue(disk.FilePath("other.log"));
    form.Guarded([&] { form.MenuOpenLogFileClick(); });
    QCOMPARE(f.prompts.Boxes().last(), "Dervalo|Cannot create file " + disk.FilePath("other.log"));
    QVERIFY(!form.st.LogFileOpen);
    disk.SetReadOnly(false);

    // The program's own files are never a capture file, in any letter case:
    // refused with a message, and nothing is asked or touched.
    const QByteArray book = NumberedRecords(2);
    f.WriteFile("Halvuro.log", book);
    const int boxes = f.prompts.Boxes().size();
    for (const char* own : {"halvuro.LOG", "Dervalo.adi", "DERVALO.ini", "Dervalo-extra.ini",
                               "dervalo.buf"}) {
        f.prompts.fileAnswers.enqueue(f.Path(own));
        form.Guarded([&] { form.MenuOpenLogFileClick(); });
        QVERIFY(!form.st.LogFileOpen);
    }
    const QStringList refused = f.prompts.Boxes().mid(boxes);
    QCOMPARE(refused.size(), 5);
    QCOMPARE(refused[0], "Dervalo    Warning|" + f.Path("Halvuro.log") +
                             " is one of Dervalo's own files and cannot be the log file. Choose "
                             "another name.");
    QCOMPARE(f.prompts.Calls("modal"), QStringList());
    QCOMPARE(f.ReadFile("Halvuro.log"), book);
}

int main(int argc, char** argv) {
    // Before the application object, while this is the only thread.
    g_mountProblem = SmallFs::EnterOwnMounts();
    QApplication app(argc, argv);
    FileFaultsTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_filefaults.moc"
