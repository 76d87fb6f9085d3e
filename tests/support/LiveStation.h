#pragma once
#include <QRegularExpression>

// The real program against the simulator program: `dervalo-pk232sim` runs as
// a process of its own on a pseudo-terminal (and, with `tcpPort` set, on that
// TCP port of 127.0.0.1 as a serial bridge would), the main window talks to
// it through the real line backend, on the system clock, with scripted
// prompts. The simulator's control commands go to its standard input, its
// answers come on its standard output, and its line log gives back every
// byte the program put on the line, in order.

#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>
#include <memory>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include "FormFixture.h"
#include "ScriptedPrompts.h"
#include "link/LineBackend.h"
#include "operations/CallEdit.h"
#include "operations/ConnectForm.h"
#include "shell/Clock.h"
#include "shell/HoofdForm.h"

struct LiveStation {
    QTemporaryDir dir;
    QProcess simulator;
    LineBackend line;
    SystemClock clock;
    ScriptedPrompts prompts;
    std::unique_ptr<THoofdForm> form;
    QByteArray answers;  // everything the simulator answered so far
    quint16 tcpPort = 0; // set: the program reaches the simulator over TCP

    static QString SimulatorProgram() { return qEnvironmentVariable("DERVALO_SIM"); }
    static bool SimulatorBuilt() {
        return !SimulatorProgram().isEmpty() && QFile::exists(SimulatorProgram());
    }

    QString Path(const QString& name) const { return dir.filePath(name); }
    QString Device() const { return Path("pk232"); }
    // The program's port name: the pseudo-terminal's link, or the TCP port.
    QString PortName() const {
        return tcpPort != 0 ? QStringLiteral("tcp:127.0.0.1:%1").arg(tcpPort) : Device();
    }
    // A port of 127.0.0.1 that was free a moment ago.
    static quint16 FreeTcpPort() {
        const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t len = sizeof a;
        quint16 port = 0;
        if (::bind(fd, reinterpret_cast<sockaddr*>(&a), len) == 0 &&
            ::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len) == 0)
            port = ntohs(a.sin_port);
        ::close(fd);
        return port;
    }
    QString LogPath() const { return Path("pk232sim.log"); }

    // Starts the simulator with these options besides its device link, log
    // and TCP port; true once the device is there (the TCP port listens
    // before the link is made).
    bool StartSimulator(const QStringList& options) {
        QFile::remove(Device()); // a killed simulator leaves its link behind
        const QStringList tcp =
            tcpPort != 0 ? QStringList{"--tcp", QString::number(tcpPort)} : QStringList();
        simulator.start(SimulatorProgram(),
                        QStringList{"--link", Device(), "--log", LogPath()} + tcp + options);
        if (!simulator.waitForStarted(5000)) return false;
        QDeadlineTimer deadline(10000);
        while (!QFileInfo(Device()).isSymLink() && !deadline.hasExpired())
            QTest::qWait(10);
        // Its first line, the device, is read now: it is no answer to a
        // control command asked later.
        const qsizetype from = answers.size();
        while (answers.indexOf('\n', from) < 0 && !deadline.hasExpired()) {
            simulator.waitForReadyRead(20);
            answers += simulator.readAllStandardOutput();
        }
        return QFileInfo(Device()).isSymLink() && answers.indexOf('\n', from) >= 0;
    }
    ~LiveStation() {
        form.reset();
        if (simulator.state() != QProcess::NotRunning) {
            simulator.terminate();
            if (!simulator.waitForFinished(5000)) simulator.kill();
        }
    }

    void WriteFile(const QString& name, const QByteArray& content) const {
        QFile f(Path(name));
        if (f.open(QIODevice::WriteOnly | QIODevice::Truncate)) f.write(content);
    }

    // The program with "Init Pk" on (unless `pkInit` is false), on `port`:
    // its start-up runs here, with its real pauses.
    THoofdForm& StartProgram(const QString& port, bool pkInit = true) {
        WriteFile("Dervalo.INI", FormFixture::Settings(port.toLocal8Bit(), "9600", false, pkInit,
                                                       "PA0ABC", "ABCD"));
        form = std::make_unique<THoofdForm>(line, clock, prompts, dir.path());
        form->CreateDialogs();
        form->show();
        return *form;
    }
    THoofdForm& StartProgram() { return StartProgram(PortName()); }

    // F5: the call dialog, answered with `call`.
    void Call(const QString& call) {
        prompts.modalActions.enqueue([call](QDialog& d) {
            auto& dlg = static_cast<TConnectForm&>(d);
            dlg.InputCall->setText(call);
            dlg.ConnectOkKnopClick();
            return dlg.result();
        });
        form->MenuCallAstation->trigger();
    }

    // A control command; returns the simulator's answer once it holds
    // `until` (bounded: empty if it never comes).
    QByteArray Control(const QByteArray& command, const QByteArray& until = "\n",
                       int timeoutMs = 10000) {
        const qsizetype from = answers.size();
        simulator.write(command + '\n');
        QDeadlineTimer deadline(timeoutMs);
        while (!deadline.hasExpired()) {
            simulator.waitForReadyRead(20);
            answers += simulator.readAllStandardOutput();
            const QByteArray answer = answers.mid(from);
            if (answer.contains(until)) return answer;
            QCoreApplication::processEvents();
        }
        return {};
    }
    // The simulator's "state": "mode PN (HOST, line 8N1), link none ...".
    QByteArray State() { return Control("state", "message(s)\n"); }
    // Asks for the state until it holds `text` (bounded); returns the last.
    QByteArray StateWhen(const QByteArray& text, int timeoutMs = 10000) {
        QByteArray state;
        WaitFor(
            [&] {
                state = State();
                return state.contains(text);
            },
            timeoutMs);
        return state;
    }

    // Every byte the program has sent to the simulator, in order, from the
    // simulator's line log ("HH:MM:SS.mmm -> <SOH>O...").
    QByteArray FromProgram() const { return LoggedBytes("->"); }
    QByteArray ToProgram() const { return LoggedBytes("<-"); }
    QByteArray LoggedBytes(const QByteArray& direction) const {
        QFile log(LogPath());
        if (!log.open(QIODevice::ReadOnly)) return {};
        QByteArray out;
        const QByteArray marker = ' ' + direction + ' ';
        for (const QByteArray& line : log.readAll().split('\n')) {
            const qsizetype at = line.indexOf(marker);
            if (at != 12) continue; // "HH:MM:SS.mmm" comes first
            out += Unreadable(line.mid(at + marker.size()));
        }
        return out;
    }
    // The log's readable form back into bytes: control bytes by name, "\\"
    // for a backslash, "\xNN" for the rest. Text with '<' in it is taken
    // for a name only where it is one.
    static QByteArray Unreadable(const QByteArray& text) {
        static const QList<QPair<QByteArray, char>> names = {
            {"<NUL>", 0x00}, {"<SOH>", 0x01}, {"<EOT>", 0x04}, {"<BS>", 0x08},  {"<LF>", 0x0A},
            {"<CR>", 0x0D},  {"<ETB>", 0x17}, {"<EM>", 0x19},  {"<SUB>", 0x1A}, {"<ESC>", 0x1B}};
        QByteArray out;
        for (qsizetype i = 0; i < text.size();) {
            if (text.at(i) == '<') {
                bool named = false;
                for (const auto& [name, byte] : names) {
                    if (text.mid(i, name.size()) == name) {
                        out += byte;
                        i += name.size();
                        named = true;
                        break;
                    }
                }
                if (named) continue;
            }
            if (text.at(i) == '\\' && i + 1 < text.size() && text.at(i + 1) == '\\') {
                out += '\\';
                i += 2;
            } else if (text.at(i) == '\\' && i + 3 < text.size() && text.at(i + 1) == 'x') {
                out += char(text.mid(i + 2, 2).toInt(nullptr, 16));
                i += 4;
            } else {
                out += text.at(i++);
            }
        }
        return out;
    }

    // Waits, handling events, until `done` holds; at most `timeoutMs`.
    template <typename F> static bool WaitFor(F done, int timeoutMs) {
        QDeadlineTimer deadline(timeoutMs);
        while (!done()) {
            if (deadline.hasExpired()) return false;
            QTest::qWait(20);
        }
        return true;
    }

    // The receive window's text without the program's own event lines
    // ("*** HH:MM UTC  ..."), which come whenever the status tick sees a
    // link change; ReceivedAll() keeps them.
    QString Received() const {
        static const QRegularExpression event(QStringLiteral("(^|\n)\\*\\*\\* \\d\\d:\\d\\d UTC  [^\n]*(\n|$)"));
        QString text = ReceivedAll();
        for (qsizetype at = 0; (at = text.indexOf(event, at)) >= 0;) {
            const QRegularExpressionMatch m = event.match(text, at);
            text.replace(m.capturedStart(), m.capturedLength(), m.captured(1));
            at = m.capturedStart();
        }
        return text;
    }
    QString ReceivedAll() const { return form->ReceiveWindow->toPlainText(); }
    // The receive buffer as it would be saved, without the event lines.
    QByteArray ReceivedBytes() const {
        static const QRegularExpression event(
            QStringLiteral("\\*\\*\\* \\d\\d:\\d\\d UTC  [^\r\n]*\r\n"));
        return QString::fromLatin1(form->ReceiveBufferBytes()).remove(event).toLatin1();
    }
    QString StatusText() const {
        const THoofdForm& w = *form;
        return QStringList{w.Pane1->text(), w.Pane2->text(), w.Pane3->text(), w.Pane4->text(),
                           w.Pane5->text()}
            .join(QLatin1Char('|'));
    }
};
