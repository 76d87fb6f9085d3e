// The receive log capture file: choosing, opening (new or appended) and
// closing it, and the controls that follow its state. The characters are
// written by the receive output path.
#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QPushButton>

#include <utility>

#include "shell/HoofdForm.h"
#include "station/Evening.h"
#include "shell/InOutError.h"
#include "shell/Prompts.h"
#include "terminal/FileBestaat.h"

namespace {
void SetTextColour(QPushButton* button, const QColor& colour) {
    QPalette p = button->palette();
    p.setColor(QPalette::ButtonText, colour);
    button->setPalette(p);
}
} // namespace

bool THoofdForm::IsOwnFile(const QString& path) const {
    // Compared without regard to letter case, as the program finds its
    // files; a link to one of them is the file itself.
    const QFileInfo chosen(path);
    QStringList own;
    for (const QString& name :
         {QStringLiteral("Halvuro.log"), QStringLiteral("Dervalo.adi"),
          QStringLiteral("Dervalo.INI"), QStringLiteral("Dervalo-extra.ini"), st.BufferFileName})
        own << ChosenFilePath(name);
    if (LogBookFile.isOpen()) own << LogBookFile.fileName();
    for (const QString& file : own) {
        const QFileInfo info(file);
        if (chosen.absoluteFilePath().compare(info.absoluteFilePath(), Qt::CaseInsensitive) == 0)
            return true;
        if (chosen.exists() && info.exists() &&
            chosen.canonicalFilePath() == info.canonicalFilePath())
            return true;
    }
    return false;
}

void THoofdForm::CloseLogFile() {
    // Event lines still waiting for a line's end close the capture, on a
    // line of their own.
    const QByteArray held = std::exchange(evening_->captureHeld, QByteArray());
    if (LogFile.isOpen() && !held.isEmpty()) LogFile.write('\r' + held);
    if (LogFile.isOpen()) LogFile.close();
    st.LogFileOpen = false;
}

void THoofdForm::CaptureText(const QByteArray& shown) {
    // Event lines held back for a line half written go in after its end.
    QByteArray bytes = shown;
    QByteArray& held = evening_->captureHeld;
    if (!held.isEmpty()) {
        qsizetype end = bytes.indexOf('\r');
        const qsizetype lf = bytes.indexOf('\n');
        if (end < 0 || (lf >= 0 && lf < end)) end = lf;
        if (end >= 0) {
            if (bytes.at(end) == '\r' && bytes.mid(end + 1, 1) == "\n") ++end;
            bytes.insert(end + 1, std::exchange(held, QByteArray()));
        }
    }
    if (LogFile.write(bytes) == bytes.size() && LogFile.flush()) return;
    // The file cannot take it (a full or failing disk): capture ends here,
    // as if the operator had closed it, and the error waits to be reported
    // once the frame is shown whole.
    if (captureError_.isEmpty())
        captureError_ = QStringLiteral("Error writing %1").arg(LogFile.fileName());
    MenuCloseLogFileClick();
}

void THoofdForm::ReportCaptureError() {
    if (captureError_.isEmpty()) return;
    const QString message = captureError_;
    captureError_.clear();
    throw InOutError(message);
}

void THoofdForm::MenuOpenLogFileClick() {
    // 1. The same name is offered every time.
    const QString chosen = prompts_.SaveFileName(QStringLiteral("Dervalix"),
                                                 ChosenFilePath(QStringLiteral("Dervalo.log")),
                                                 QStringLiteral("All files (*)"));
    if (chosen.isEmpty()) return;
    const QString path = ChosenFilePath(chosen);
    // The logbook, the journal, the settings and the saved buffer are never
    // replaced by, or filled with, received text.
    if (IsOwnFile(path)) {
        Warning(QStringLiteral("%1 is one of Dervalo's own files and cannot be the log file. "
                               "Choose another name.")
                    .arg(QDir::toNativeSeparators(path)));
        return;
    }

    // 2. - 5. An existing file is replaced or appended to, as the operator
    // says.
    QIODevice::OpenMode mode = QIODevice::WriteOnly | QIODevice::Truncate;
    if (QFileInfo::exists(path)) {
        FileBestaatForm->Prepare(QFileInfo(path).fileName(),
                                 QStringLiteral("Yes= Deleting and making NEW one."),
                                 QStringLiteral("No = Append to this file"), true);
        prompts_.ShowModal(*FileBestaatForm);
        switch (FileBestaatForm->FileExistsAnswer) {
        case TFileBestaatForm::No:
            mode = QIODevice::WriteOnly | QIODevice::Append;
            break;
        case TFileBestaatForm::Yes:
            break;
        default: // Cancel, or closed without a button
            return;
        }
    }
    LogFile.setFileName(path);
    if (!LogFile.open(mode)) {
        const QString what = (mode & QIODevice::Append) ? QStringLiteral("Cannot open file %1")
                                                        : QStringLiteral("Cannot create file %1");
        throw InOutError(what.arg(path));
    }

    // 6.
    st.LogFileOpen = true;
    MenuOpenLogFile->setEnabled(false);
    MenuCloseLogFile->setEnabled(true);
    OpenLogFile->setText(QStringLiteral("Close log"));
    OpenLogFile->setToolTip(QStringLiteral("Close Log File"));
    SetTextColour(OpenLogFile, QColor(255, 0, 0));
    StatusLine();
    repaint();
}

void THoofdForm::MenuCloseLogFileClick() {
    if (!st.LogFileOpen) return;
    CloseLogFile();
    MenuOpenLogFile->setEnabled(true);
    MenuCloseLogFile->setEnabled(false);
    OpenLogFile->setText(QStringLiteral("Open log"));
    OpenLogFile->setToolTip(QStringLiteral("Open Log File"));
    SetTextColour(OpenLogFile, QColor(0, 0, 0));
    StatusLine();
}

void THoofdForm::OpenLogFileClick() {
    if (st.LogFileOpen)
        MenuCloseLogFileClick();
    else
        MenuOpenLogFileClick();
}
