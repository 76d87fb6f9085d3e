#pragma once

// Scripted prompts that also keep the name each file dialog offered, for
// tests of what the program proposes. A form is made on them by hand:
//   FileDialogPrompts prompts;
//   f.form = std::make_unique<THoofdForm>(f.serial, f.clock, prompts, f.dir.path());

#include <QFileInfo>

#include "ScriptedPrompts.h"

class FileDialogPrompts : public ScriptedPrompts {
public:
    // The file name part of each offered path, in order.
    QStringList offered;

    QString SaveFileName(const QString& title, const QString& initialPath,
                         const QString& filter) override {
        offered << QFileInfo(initialPath).fileName();
        return ScriptedPrompts::SaveFileName(title, initialPath, filter);
    }
    QString OpenFileName(const QString& title, const QString& directory,
                         const QString& filter) override {
        offered << QFileInfo(directory).fileName();
        return ScriptedPrompts::OpenFileName(title, directory, filter);
    }
};
