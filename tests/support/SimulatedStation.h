#pragma once

// The program against the simulated PK-232 in-process: a main window on the
// in-memory line with the controller model attached, "Init Pk" on so that the
// program really starts the controller, on the virtual clock. The two timers
// are run by hand, as the event loop would run them.

#include <QLabel>
#include <QPlainTextEdit>
#include <QString>
#include <functional>

#include "ControlCommands.h"
#include "FormFixture.h"
#include "Pk232Model.h"

struct SimulatedStation {
    FormFixture f;
    Pk232Model pk;

    // A quiet band (nobody else heard), so that the receive window holds only
    // the contact; the air keeps its real speed.
    explicit SimulatedStation(quint32 seed = 232) : pk(seed) {
        pk.SetBandPace(Pk232Model::BandPace::Off);
        f.serial.AttachPeer(&pk);
        f.WriteFile("Dervalo.INI",
                    FormFixture::Settings("COM1", "9600", false, true, "PA0ABC", "ABCD"));
    }

    THoofdForm& Start() { return f.Start(); }
    THoofdForm& Form() { return *f.form; }

    // One status tick and the five write ticks that fit in it (557 ms and
    // 113 ms on the real timers).
    void Pass() {
        Form().StatusAanvraagTimerTimer();
        for (int j = 0; j < 5; ++j) {
            f.clock.Advance(113);
            Form().SchryfintervalTimer();
        }
    }
    // Passes until `done` holds, at most `limit` of them (about 0.57 s of
    // virtual time each). Returns whether it came.
    bool RunUntil(const std::function<bool()>& done, int limit = 200) {
        for (int i = 0; i < limit; ++i) {
            if (done()) return true;
            Pass();
        }
        return done();
    }
    // Like RunUntil, noting every new value of `seen` on the way (the first
    // one too), for example the texts of a status pane.
    bool RunNoting(const std::function<bool()>& done, const std::function<QString()>& seen,
                   QStringList& values, int limit = 200) {
        auto note = [&] {
            const QString v = seen();
            if (values.isEmpty() || values.last() != v) values << v;
        };
        note();
        for (int i = 0; i < limit && !done(); ++i) {
            Pass();
            note();
        }
        return done();
    }

    // A command of the simulator's control channel, as typed on its input.
    QByteArray Control(const QByteArray& line) {
        return RunControlCommand(pk, line, f.clock.TickCount());
    }

    QString Received() const { return f.form->ReceiveWindow->toPlainText(); }
    // The status line as one text, for failure messages.
    QString StatusText() const {
        const THoofdForm& w = *f.form;
        return QStringList{w.Pane1->text(), w.Pane2->text(), w.Pane3->text(), w.Pane4->text(),
                           w.Pane5->text()}
                   .join(QLatin1Char('|')) +
               QStringLiteral(" / controller ") + QString::fromLatin1(pk.StatusBody());
    }
};
