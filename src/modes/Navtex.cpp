// NAVTEX messages kept: the list, the files in navtex/, and the stations and
// classes asked for.
#include <QDir>
#include <algorithm>
#include <QLineEdit>
#include <QSaveFile>

#include "host/Frames.h"
#include "modes/ModeSettings.h"
#include "modes/NavtexListForm.h"
#include "modes/NavtexSettingsForm.h"
#include "shell/FileLookup.h"
#include "shell/HoofdForm.h"
#include "shell/Prompts.h"

namespace {
const QString kFolder = QStringLiteral("navtex");
constexpr qint64 kReadLimit = NavtexCollector::kMaxMessage * 2;
constexpr int kListedAtStart = 500;

// The message as a text file: its lines end in CR LF, whichever line ends
// the controller sent (a CR, an LF, or the two in either order).
QByteArray FileText(QByteArray text) {
    text.replace("\r\n", "\r").replace("\n\r", "\r").replace('\n', '\r').replace("\r", "\r\n");
    return text.endsWith("\r\n") ? text : text + "\r\n";
}
} // namespace

void THoofdForm::ReadNavtexFolder() {
    // Once a run: the messages kept before, so a repeat of one of them is
    // not kept again, and the list shows them.
    if (modes.NavtexFolderRead) return;
    modes.NavtexFolderRead = true;
    QDir dir(QDir(folder_).filePath(kFolder));
    QStringList names = dir.entryList({QStringLiteral("*.txt")}, QDir::Files, QDir::Name);
    QList<NavtexMessage> found;
    for (const QString& name : names) {
        const auto idAndTime = NavtexCollector::FromFileName(name);
        if (!idAndTime) continue;
        modes.Navtex.MarkKept(idAndTime->first, idAndTime->second);
        QFile file(dir.filePath(name));
        if (!OpenToRead(file)) continue;
        NavtexCollector reader;
        const auto read = reader.Feed(file.read(kReadLimit), idAndTime->second);
        if (!read.isEmpty()) found.append(read.first());
    }
    std::sort(found.begin(), found.end(), [](const NavtexMessage& a, const NavtexMessage& b) {
        return a.receivedUtc < b.receivedUtc;
    });
    if (found.size() > kListedAtStart) found = found.mid(found.size() - kListedAtStart);
    modes.NavtexKept = found + modes.NavtexKept;
    if (NavtexListForm) NavtexListForm->Fill(modes.NavtexKept);
}

void THoofdForm::KeepNavtexMessage(const NavtexMessage& m) {
    ReadNavtexFolder();
    modes.NavtexKept.append(m);
    if (NavtexListForm) NavtexListForm->Add(m);
    const QDir root(folder_);
    QString path = root.filePath(m.FileName());
    // Two messages of one id in one minute (serial 00) both stay.
    for (int n = 2; QFile::exists(path); ++n)
        path = root.filePath(m.FileName().chopped(4) + QStringLiteral("-%1.txt").arg(n));
    QSaveFile file(path);
    const QByteArray text = FileText(m.text);
    const bool saved = root.mkpath(kFolder) && file.open(QIODevice::WriteOnly) &&
                       file.write(text) == text.size() && file.flush() && file.commit();
    if (!saved)
        Warning(QStringLiteral("The NAVTEX message %1 could not be saved as %2: %3")
                    .arg(m.id, path, file.errorString()));
}

void THoofdForm::NavtexMessagesClick() {
    ReadNavtexFolder();
    if (!NavtexListForm) {
        NavtexListForm = new TNavtexListForm(this);
        NavtexListForm->Fill(modes.NavtexKept);
    }
    NavtexListForm->show();
    NavtexListForm->raise();
}

void THoofdForm::NavtexSettingsClick() {
    TNavtexSettingsForm form(this);
    form.FormActivate(modes.NavStations, modes.NavClasses);
    StopTimers();
    const int result = prompts_.ShowModal(form);
    StartTimers();
    if (result != QDialog::Accepted) return;
    const auto stations = ModeSettings::NavtexList(form.Stations->text());
    const auto classes = ModeSettings::NavtexList(form.Classes->text());
    if (!stations || !classes) {
        Warning(QStringLiteral("NAVSTN and NAVMSG take ALL, NONE, or YES or NO followed by up to "
                               "13 letters."));
        return;
    }
    modes.NavStations = *stations;
    modes.NavClasses = *classes;
    QString path;
    if (!ModeSettings::Write(folder_, modes, path))
        Warning(QStringLiteral("Cannot write %1").arg(path));
    if (st.ModeName == QLatin1String("NAVTEX")) {
        Send(Frames::CommandFrame("NS" + stations->toLatin1()));
        Send(Frames::CommandFrame("NM" + classes->toLatin1()));
    }
}
