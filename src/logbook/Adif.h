#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QLocale>
#include <QString>
#include <optional>

// Contacts in ADIF 3.1, ADI form, for other loggers and LoTW: the journal
// "Dervalo.adi" that every saved entry is appended to, and the export of the
// whole logbook. No widgets, no files.
//
// Character set: ADI fields are ASCII, so that every reader takes the file,
// whatever was typed. Text is written with the closest ASCII letters
// ("Köln" as "Koln", "Straße" as "Strasse"); a character with no such
// letter is left out. The logbook keeps the text as typed.
namespace Adif {

inline constexpr const char* kAdifVersion = "3.1.4";

// "<NAME:length>value", the length in bytes; nothing when the value is empty.
QByteArray Field(const char* name, const QByteArray& value);

// A logbook text as a field value: in ASCII (see above), control
// characters as blanks, without the blanks around it (the logbook fills
// calls, names and QTHs with blanks).
QByteArray Value(const QString& text);
// The closest ASCII text.
QByteArray Ascii(const QString& text);

// The header, ended by <EOH> and a line end: a line of text, ADIF_VER,
// PROGRAMID, PROGRAMVERSION and CREATED_TIMESTAMP (`createdUtc` in UTC).
QByteArray Header(const QString& programVersion, const QDateTime& createdUtc);

struct Mode {
    QByteArray mode, submode; // empty when there is none
};
// The ADIF mode of the program's mode (`ModeName`) and link state:
// PACTOR is MODE PAC without SUBMODE: a PK-232 works PACTOR-I, and ADIF's
// submodes of PAC (PAC2, PAC3, PAC4) name the later levels only. AMTOR is
// MODE TOR, without SUBMODE for an ARQ contact and with SUBMODE AMTORFEC in
// FEC. RTTY (Baudot) is MODE RTTY without SUBMODE. Morse is CW, ASCII is
// RTTY with SUBMODE ASCI, packet is PKT. The dumb terminal, NAVTEX (no
// contact) and an unknown mode give no mode at all.
Mode ModeOf(const QString& modeName, const QString& linkState);

// One contact, as the fields of a record.
struct Contact {
    QString call, name, qth, info;
    QString stationCall;
    std::optional<QDateTime> on; // the start of the contact, in any time zone
    Mode mode;
    QString band;                 // ADIF band name, "20m"; empty: none
    QByteArray freq;              // MHz as ADIF's FREQ, "14.070500"; empty: none
    std::optional<QDateTime> off; // the end of the link, in any time zone
    QString myGrid;               // own locator
    QString operatorCall;         // the operator, when set
};

// One record on one line: CALL, QSO_DATE and TIME_ON (in UTC), TIME_OFF,
// BAND, FREQ, MODE, SUBMODE, NAME, QTH, COMMENT (the Info),
// STATION_CALLSIGN, OPERATOR and MY_GRIDSQUARE, empty ones left out, then
// <EOR> and a line end.
QByteArray Record(const Contact& contact);

// The contact a logbook record holds (the 130 bytes at `record`), without
// mode, which the logbook does not keep. Its date and time are read back
// through the locale's formats they were written with, as local time;
// `thisYear` places a two-digit year (at most a year ahead, else in the
// century before). `on` stays empty when either cannot be read back.
Contact FromLogBook(const char* record, const QLocale& locale, int thisYear,
                    const QString& stationCall);

// A whole logbook file as ADIF: the header and one record for each record
// that holds anything; records with every text blank are left out.
struct Export {
    QByteArray text;
    int contacts = 0;     // records written
    int withoutOn = 0;    // of these, how many without a readable date or time
    int emptyLeftOut = 0; // records that held nothing
};
Export ExportLogBook(const QByteArray& logbook, const QLocale& locale, const QDateTime& now,
                     const QString& stationCall, const QString& programVersion);

} // namespace Adif
