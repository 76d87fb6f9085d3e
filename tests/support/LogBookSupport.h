#pragma once

// Helpers for the logbook tests: a settings file with the logbook switched
// on, records built byte by byte (independently of the program's own record
// code), and a stand-in for the modal loop that really shows the dialog.

#include <QByteArray>
#include <QDialog>
#include <functional>
#include <optional>

#include "FormFixture.h"

namespace LogBookSupport {

// The settings file of FormFixture with the logbook switch ON.
inline QByteArray SettingsWithLogBook() {
    QByteArray s = FormFixture::Settings();
    Q_ASSERT(s.endsWith("OFF\r\n"));
    s.chop(5);
    return s + "ON\r\n";
}

// One counted text: length byte, the characters, zeros up to `room`.
inline QByteArray Counted(const QByteArray& text, int room) {
    QByteArray out(1, char(text.size()));
    out += text;
    out += QByteArray(room - text.size(), '\0');
    return out;
}

// A 130-byte record with the texts exactly as given.
inline QByteArray RawRecord(const QByteArray& call, const QByteArray& name = "",
                            const QByteArray& qth = "", const QByteArray& date = "",
                            const QByteArray& time = "", const QByteArray& info = "") {
    const QByteArray r = Counted(call, 20) + Counted(name, 20) + Counted(qth, 20) +
                         Counted(date, 12) + Counted(time, 12) + Counted(info, 40);
    Q_ASSERT(r.size() == 130);
    return r;
}

// A record as the entry window writes it: call padded to 12, name and QTH
// to 20.
inline QByteArray EntryRecord(const QByteArray& call, const QByteArray& name, const QByteArray& qth,
                              const QByteArray& date = "5-3-26 ",
                              const QByteArray& time = "9:07:00 ", const QByteArray& info = "") {
    return RawRecord(call.leftJustified(12, ' '), name.leftJustified(20, ' '),
                     qth.leftJustified(20, ' '), date, time, info);
}

// Numbered records "XX9A0" ... for files of n records.
inline QByteArray NumberedRecords(int n) {
    QByteArray out;
    for (int i = 0; i < n; ++i)
        out += EntryRecord("XX9A" + QByteArray::number(i), "Name" + QByteArray::number(i),
                           "Qth" + QByteArray::number(i));
    return out;
}

// Does what the modal loop would: shows the dialog (its show handlers run),
// runs `body` on it, hides it again and returns its result.
inline std::function<int(QDialog&)> WhileShown(std::function<void(QDialog&)> body) {
    return [body](QDialog& d) {
        d.setResult(0);
        d.show();
        body(d);
        const int result = d.result();
        d.hide();
        return result;
    };
}

// A main window started with the logbook on and "Halvuro.log" holding
// `records` beforehand (no file at all without them).
inline THoofdForm& StartWithLogBook(FormFixture& f,
                                    const std::optional<QByteArray>& records = std::nullopt) {
    f.WriteFile("Dervalo.INI", SettingsWithLogBook());
    if (records) f.WriteFile("Halvuro.log", *records);
    return f.Start();
}

} // namespace LogBookSupport
