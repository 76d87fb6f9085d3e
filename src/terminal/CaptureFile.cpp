// The receive log capture file: choosing, opening (new or appended) and
// closing it, and the controls that follow its state. The characters are
// written by the receive output path.
#include <QAction>
#include <QFileInfo>
#include <QPushButton>

#include "shell/HoofdForm.h"
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

void THoofdForm::CloseLogFile() {
    if (LogFile.isOpen()) LogFile.close();
    st.LogFileOpen = false;
}

void THoofdForm::CaptureText(const QByteArray& shown) {
    if (LogFile.write(shown) == shown.size() && LogFile.flush()) return;
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
