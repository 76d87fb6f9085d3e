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
// Character set: ADIF lengths count bytes. A field is written with the bytes
// the logbook holds for it, one byte a character in the Windows character set
// (Windows-1252, through `CharTable`), and its length counts those bytes; so
// é, ß and ø are one byte each, as the ADI files of Windows loggers have them.
// Nothing is transliterated: the journal keeps what the logbook keeps.
namespace Adif {

inline constexpr const char* kAdifVersion = "3.1.4";

// "<NAME:length>value", the length in bytes; nothing when the value is empty.
QByteArray Field(const char* name, const QByteArray& value);

// The bytes of a logbook text as a field value: through the character table,
// control characters as blanks, without the blanks around it (the logbook
// fills calls, names and QTHs with blanks).
QByteArray Value(const QString& text);

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
};

// One record on one line: CALL, QSO_DATE and TIME_ON (in UTC), MODE, SUBMODE,
// NAME, QTH, COMMENT (the Info) and STATION_CALLSIGN, empty ones left out,
// then <EOR> and a line end.
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
