#pragma once

// A main window on an in-memory serial line, a virtual clock and scripted
// prompts, in a temporary working folder. For tests of the program itself.

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <memory>

#include "ScriptedPrompts.h"
#include "link/MemorySerialBackend.h"
#include "shell/Clock.h"
#include "shell/HoofdForm.h"

struct FormFixture {
    QTemporaryDir dir;
    VirtualClock clock;
    MemorySerialBackend serial{&clock};
    ScriptedPrompts prompts;
    std::unique_ptr<THoofdForm> form;

    QString Path(const QString& name) const { return dir.filePath(name); }

    void WriteFile(const QString& name, const QByteArray& content) const {
        QFile f(Path(name));
        f.open(QIODevice::WriteOnly | QIODevice::Truncate);
        f.write(content);
    }
    QByteArray ReadFile(const QString& name) const {
        QFile f(Path(name));
        if (!f.open(QIODevice::ReadOnly)) return QByteArray();
        return f.readAll();
    }

    // A settings file with these switches and port; everything else default.
    static QByteArray Settings(const QByteArray& port = "COM4", const QByteArray& baud = "9600",
                               bool maildrop = false, bool pkInit = false,
                               const QByteArray& call = "PA0ABC",
                               const QByteArray& selCall = "ABCD") {
        const QList<QByteArray> lines = {";Port Number",
                                         port,
                                         ";Baudrate",
                                         baud,
                                         ";Do NOT change the values below",
                                         "terminal",
                                         "8",
                                         "System",
                                         "8",
                                         "12632256",
                                         "16711680",
                                         "Normal",
                                         "normal",
                                         "0",
                                         "65535",
                                         "",
                                         "0",
                                         "0",
                                         "",
                                         "0",
                                         "0",
                                         "11203312",
                                         "System",
                                         "System",
                                         "263",
                                         call,
                                         selCall,
                                         "OFF",
                                         maildrop ? "ON" : "OFF",
                                         pkInit ? "ON" : "OFF",
                                         "OFF"};
        QByteArray out;
        for (const QByteArray& l : lines)
            out += l + "\r\n";
        return out;
    }

    // Creates the main window (FormCreate runs) and its dialogs.
    THoofdForm& Create() {
        form = std::make_unique<THoofdForm>(serial, clock, prompts, dir.path());
        // Help never finds a manual installed on the machine running the tests.
        form->SetManualCandidates({});
        form->CreateDialogs();
        return *form;
    }
    // The main window made from the usual settings, with the capture file
    // "capture.log" open.
    THoofdForm& Capturing() {
        WriteFile("Dervalo.INI", Settings());
        Create();
        prompts.fileAnswers.enqueue("capture.log");
        form->MenuOpenLogFileClick();
        return *form;
    }
    // Creates and shows it: the first layout pass runs the controller start-up.
    THoofdForm& Start() {
        Create();
        form->show();
        return *form;
    }

    QByteArray Written() const { return serial.WrittenBytes(); }
};
