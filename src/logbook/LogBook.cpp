// The logbook file "Halvuro.log" of 130-byte records, the logbook switch, and
// the menu items that open the viewer and the editor.
#include <QAction>
#include <QFileInfo>

#include "logbook/LogBookEditForm.h"
#include "logbook/LogBookRecord.h"
#include "logbook/LogBookShowForm.h"
#include "shell/FileLookup.h"
#include "shell/HoofdForm.h"
#include "shell/InOutError.h"
#include "shell/Prompts.h"
#include "station/Evening.h"

namespace {
const QString kLogBookName = QStringLiteral("Halvuro.log");
}

void THoofdForm::OpenLogBookFile() {
    st.LogBookRecordCount = 0;
    if (LogBookFile.isOpen()) LogBookFile.close();
    // Opened for reading and writing, created empty when it is not there.
    // Records go straight to the file: nothing is held back.
    LogBookFile.setFileName(FindFileNoCase(folder(), kLogBookName));
    if (!LogBookFile.open(QIODevice::ReadWrite | QIODevice::Unbuffered)) {
        // Without its file the logbook is off.
        const QString reason = LogBookFile.errorString();
        st.LogBookOn = false;
        ShowLogBookSwitch(false);
        throw InOutError(
            QStringLiteral("Cannot open file %1: %2").arg(LogBookFile.fileName(), reason));
    }
    st.LogBookRecordCount =
        qint32(qMin<qint64>(TLogBookRecord::WholeRecords(LogBookFile.size()), 0x7FFFFFFF));
    st.LogBookPosition = st.LogBookRecordCount;
}

void THoofdForm::CloseLogBookFile() {
    LogBookFile.close();
}

void THoofdForm::LogBookClick() {
    if (st.LogBookOn) {
        st.LogBookOn = false;
        ShowLogBookSwitch(false);
        CloseLogBookFile();
    } else {
        st.LogBookOn = true;
        ShowLogBookSwitch(true);
        OpenLogBookFile();
    }
}

void THoofdForm::ShowLogBookSwitch(bool on) {
    LogBook->setChecked(on);
    MenuShowLogBook->setEnabled(on);
    MenuEditLogBook->setEnabled(on);
}

void THoofdForm::MenuShowLogBookClick() {
    prompts().ShowModal(*LogBookShowForm);
}

void THoofdForm::MenuEditLogBookClick() {
    if (st.LogBookRecordCount == 0) return;
    st.PickedCall.clear();
    prompts().ShowModal(*LogBookEditForm);
}

namespace {
[[noreturn]] void Fail(const char* what, const QFile& file) {
    throw InOutError(
        QStringLiteral("%1 %2: %3").arg(QLatin1String(what), file.fileName(), file.errorString()));
}
} // namespace

void THoofdForm::ReadLogBookRecord(qint32 n) {
    if (!LogBookFile.isOpen() || n < 0) Fail("Error reading file", LogBookFile);
    if (!LogBookFile.seek(qint64(n) * TLogBookRecord::kSize))
        Fail("Error reading file", LogBookFile);
    const QByteArray bytes = LogBookFile.read(TLogBookRecord::kSize);
    // A record beyond the end, or only a piece of one, is a read error.
    if (bytes.size() != TLogBookRecord::kSize)
        throw InOutError(QStringLiteral("Error reading file %1: record %2 is missing or not whole")
                             .arg(LogBookFile.fileName())
                             .arg(n));
    st.LogBookRecord = TLogBookRecord::FromBytes(bytes);
}

void THoofdForm::WriteLogBookRecord(qint32 n) {
    if (!LogBookFile.isOpen() || n < 0) Fail("Error writing file", LogBookFile);
    const qint64 sizeBefore = LogBookFile.size();
    if (!LogBookFile.seek(qint64(n) * TLogBookRecord::kSize) ||
        LogBookFile.write(st.LogBookRecord.Bytes()) != TLogBookRecord::kSize) {
        // A full disk may take part of a new record: the piece goes again,
        // so the file ends where it did and no half record follows the last.
        const QString reason = LogBookFile.errorString();
        if (LogBookFile.size() > sizeBefore) LogBookFile.resize(sizeBefore);
        throw InOutError(
            QStringLiteral("Error writing file %1: %2").arg(LogBookFile.fileName(), reason));
    }
    // Worked before stays current with every record written.
    if (evening_->index.Built()) evening_->index.Set(n, st.LogBookRecord.Bytes().constData());
}

void THoofdForm::CutLogBookFile(qint32 records) {
    if (!LogBookFile.isOpen() || records < 0 ||
        !LogBookFile.resize(qint64(records) * TLogBookRecord::kSize))
        Fail("Error cutting file", LogBookFile);
    evening_->index.Cut(records);
}

QByteArray THoofdForm::ReadLogBookFile() {
    if (!LogBookFile.isOpen() || !LogBookFile.seek(0)) Fail("Error reading file", LogBookFile);
    const qint64 size = LogBookFile.size();
    QByteArray data = LogBookFile.read(size);
    if (data.size() != size) Fail("Error reading file", LogBookFile);
    return data;
}
