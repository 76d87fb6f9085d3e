// The weather fax: the FAX page and its mode, the picture as its bands
// arrive, saving it whole, and the speed and rows-kept settings.
#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <QToolButton>

#include "fax/FaxReception.h"
#include "fax/FaxSettingsForm.h"
#include "fax/FaxWindow.h"
#include "host/Frames.h"
#include "shell/Clock.h"
#include "shell/ExtraSettings.h"
#include "shell/HoofdForm.h"
#include "shell/Prompts.h"
#include "shell/Widgets.h"

void THoofdForm::BuildFaxPage() {
    fax_ = new FaxReception(this);
    fax_->settings = ExtraSettings::ReadFaxSettings(folder_);
    fax_->window = new TFaxWindow(this);
    fax_->window->OnSave = [this] { Guarded([&] { FaxSaveImageClick(); }); };
    fax_->silence.setInterval(FaxReception::kSilenceCheckMs);
    connect(&fax_->silence, &QTimer::timeout, this, [this] { Guarded([&] { FaxSilenceCheck(); }); });

    FaxPage = new QWidget;
    TabBalk->insertTab(TabBalk->indexOf(DumbPage), FaxPage, QStringLiteral("FAX"));
    using H = THoofdForm;
    FaxStart = ModeButton(FaxPage, "FaxStart", QStringLiteral("Start"),
                          QStringLiteral("START RECEIVING A PICTURE"), &H::FaxStartClick);
    FaxStop = ModeButton(FaxPage, "FaxStop", QStringLiteral("Stop"),
                         QStringLiteral("END THE PICTURE AND SAVE IT"), &H::FaxStopClick);
    FaxSettingsButton = ModeButton(FaxPage, "FaxSettings", QStringLiteral("Settings"),
                                   QStringLiteral("SPEED AND ROWS KEPT"), &H::FaxSettingsClick);
    FaxShowWindow = ModeButton(FaxPage, "FaxShowWindow", QStringLiteral("Picture"),
                               QStringLiteral("SHOW THE FAX WINDOW"), &H::FaxShowWindowClick);
    FaxSaveImage = ModeButton(FaxPage, "FaxSaveImage", QStringLiteral("Save"),
                              QStringLiteral("Save fax image…"), &H::FaxSaveImageClick);
}

void THoofdForm::MenuFaxClick() {
    if (!FaxModeOn()) ZetTabNaar(TabBalk->indexOf(FaxPage));
}

bool THoofdForm::FaxModeOn() const {
    return fax_ && fax_->modeOn;
}

void THoofdForm::SwitchToFax() {
    // Readied as for every mode; then what the fax needs, and receiving.
    ZetPkKlaar();
    ScrollNaarEnd();
    Send(Frames::CommandFrame("PFN")); // PRFAX OFF: the picture comes to us, not to a printer
    Send(Frames::CommandFrame(fax_->settings.SpeedCommand()));
    Send(Frames::CommandFrame(fax_->settings.AspectCommand()));
    Send(Frames::CommandFrame("FA"));
    st.ModeName = QStringLiteral("FAX");
    fax_->modeOn = true;
    fax_->reader = FaxStream(fax_->picture.Width());
    fax_->silence.start();
    MenuUnpro->setEnabled(false);
    MenuAmtorFec->setEnabled(false);
    MenuBaudotTransmit->setEnabled(false);
    FaxShowWindowClick();
    StatusLine();
}

void THoofdForm::EndFaxMode() {
    if (!FaxModeOn()) return;
    EndFaxPicture();
    fax_->modeOn = false;
    fax_->silence.stop();
}

bool THoofdForm::FaxTakesFrame(int control, QByteArrayView bytes) {
    if (!FaxModeOn() || control != Frames::kRxMonitor) return false;
    if (!bytes.isEmpty()) FaxReceive(bytes);
    return true;
}

void THoofdForm::FaxReceive(QByteArrayView bytes) {
    FaxReception& f = *fax_;
    if (!f.receiving) BeginFaxPicture();
    f.lastDataAt = clock_.TickCount();
    f.rows.clear();
    if (f.reader.Feed(bytes, f.rows) > 0) ShowFaxRows();
}

void THoofdForm::BeginFaxPicture() {
    FaxReception& f = *fax_;
    f.picture.Start(clock_.Now().toUTC());
    f.reader = FaxStream(f.picture.Width());
    f.receiving = true;
    f.saved = false;
    f.lastDataAt = clock_.TickCount();
    f.window->NewPicture(f.picture.Width());
    f.window->SetStatus(QStringLiteral("Receiving since %1 UTC")
                            .arg(f.picture.Started().toString(QStringLiteral("HH:mm:ss"))));
}

void THoofdForm::ShowFaxRows() {
    FaxReception& f = *fax_;
    const int from = f.picture.RowCount();
    f.picture.Append(f.rows);
    f.rows.clear();
    f.window->ShowRows(f.picture, from);
}

void THoofdForm::EndFaxPicture() {
    FaxReception& f = *fax_;
    if (!f.receiving) return;
    // A band cut off half-way is kept as far as it came.
    f.rows.clear();
    if (f.reader.Finish(f.rows) > 0) ShowFaxRows();
    f.receiving = false;
    if (f.picture.IsEmpty()) {
        f.window->SetStatus(QStringLiteral("Nothing received"));
        return;
    }
    const QString path = QDir(folder_).filePath(FaxPicture::FileName(f.picture.Started()));
    QString error;
    if (!QDir(folder_).mkpath(QStringLiteral("fax")) || !WriteFaxImage(path, error)) {
        if (error.isEmpty()) error = QStringLiteral("the folder fax cannot be made");
        f.window->SetStatus(QStringLiteral("Not saved"));
        Warning(QStringLiteral("The fax picture could not be saved as %1: %2.\nIt stays in the "
                               "fax window until the next one starts; save it with \"Save fax "
                               "image…\".")
                    .arg(QDir::toNativeSeparators(path), error));
        return;
    }
    f.window->SetStatus(QStringLiteral("Saved as %1").arg(FaxPicture::FileName(f.picture.Started())));
}

bool THoofdForm::WriteFaxImage(const QString& path, QString& error) {
    FaxReception& f = *fax_;
    QSaveFile file(path);
    bool ok = file.open(QIODevice::WriteOnly) && f.picture.Image().save(&file, "PNG") &&
              file.flush();
    if (ok) {
        ok = file.commit();
    } else {
        file.cancelWriting();
    }
    if (!ok) {
        error = file.errorString();
        return false;
    }
    f.saved = true;
    f.lastSavedPath = path;
    return true;
}

void THoofdForm::FaxSilenceCheck() {
    if (fax_->receiving && clock_.TickCount() - fax_->lastDataAt >= FaxReception::kSilenceEndMs)
        EndFaxPicture();
}

void THoofdForm::FaxStartClick() {
    if (!FaxModeOn()) {
        MenuFaxClick();
        return;
    }
    // The picture under way is kept; the unit starts afresh, and so does
    // the picture.
    EndFaxPicture();
    Send(Frames::CommandFrame("FA"));
    BeginFaxPicture();
}

void THoofdForm::FaxStopClick() {
    // What the unit sends after this begins the next picture: nothing
    // received is lost.
    if (FaxModeOn()) EndFaxPicture();
}

void THoofdForm::FaxSettingsClick() {
    // Made at its first use, after the program's own dialogs.
    if (!fax_->settingsForm) fax_->settingsForm = new TFaxSettingsForm(this);
    fax_->settingsForm->Set(fax_->settings);
    if (prompts_.ShowModal(*fax_->settingsForm) != QDialog::Accepted) return;
    const FaxSettings chosen = fax_->settingsForm->Chosen();
    fax_->settings = chosen;
    QString path;
    if (!ExtraSettings::WriteFaxSettings(folder_, chosen, path))
        Warning(QStringLiteral("The fax settings could not be kept in %1.")
                    .arg(QDir::toNativeSeparators(path)));
    if (FaxModeOn()) {
        Send(Frames::CommandFrame(chosen.SpeedCommand()));
        Send(Frames::CommandFrame(chosen.AspectCommand()));
    }
}

void THoofdForm::FaxShowWindowClick() {
    fax_->window->show();
    fax_->window->raise();
}

void THoofdForm::FaxSaveImageClick() {
    FaxReception& f = *fax_;
    if (f.picture.IsEmpty()) {
        Warning(QStringLiteral("There is no fax picture to save yet."));
        return;
    }
    const QString suggested = QDir(folder_).filePath(FaxPicture::FileName(f.picture.Started()));
    QDir(folder_).mkpath(QStringLiteral("fax"));
    const QString chosen = prompts_.SaveFileName(QStringLiteral("Save fax image"), suggested,
                                                 QStringLiteral("PNG pictures (*.png)"));
    if (chosen.isEmpty()) return;
    QString path = ChosenFilePath(chosen);
    if (QFileInfo(path).suffix().isEmpty()) path += QStringLiteral(".png");
    QString error;
    if (!WriteFaxImage(path, error))
        Warning(QStringLiteral("The fax picture could not be saved as %1: %2.")
                    .arg(QDir::toNativeSeparators(path), error));
}
