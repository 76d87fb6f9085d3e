#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

// What the controller gives back of the text it is given to transmit. It
// echoes what it puts on the air, and only that, so during a file
// transmission only these characters stay outstanding until they come back.
//
// PACTOR carries every byte value. Two bytes are taken as orders instead of
// text and never come back: 0x04 ends the transmission and 0x19 hands the
// turn to the other station (the change-over character loaded with PTO $19).
//
// AMTOR (CCIR 476) and RTTY (ITA2) carry the 5-bit Baudot alphabet only:
// capitals (small letters go out as capitals and come back as such), digits,
// blank, carriage return, line feed, the bell and the figures. The figures
// are those the international and the US teleprinter variant share,
// - ? : ( ) . , ' /, the international = and +, and the US $ ! & # " ;.
// A unit set to one variant may send the other's few as their own code; the
// union is counted here, the same set the simulated controller sends, so a
// character is outstanding exactly while it may still come back. Everything
// else (tab, @, *, <, _, 8-bit bytes ...) never goes on the air. On an AMTOR
// link "+?" hands the turn over and is not sent either.
//
// With EAS on (echo as sent) a carriage return goes on the air in every mode
// but is not echoed.
namespace AirEcho {

enum class Air { Pactor, Amtor, Rtty };

// The air of a mode name: "AMTOR" and "RTTY" are Baudot, anything else
// (PACTOR, no mode known yet) carries all bytes.
Air ForMode(const QString& modeName);

// True for a character the Baudot alphabet carries.
bool InBaudot(quint8 c);

// How many characters of `text`, given in one data frame, come back as echo.
// `onLink`: an ARQ link is up (only then is "+?" an order in AMTOR).
// `easOn`: the controller's EAS is on, so no carriage return comes back.
int EchoedCount(const QByteArray& text, Air air, bool onLink, bool easOn);

} // namespace AirEcho
