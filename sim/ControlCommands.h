#pragma once

#include <QByteArray>
#include <QtGlobal>
#include <optional>

class Pk232Model;

// The control channel of the simulated PK-232: one command line (without its
// line end) drives the other side of the air. dervalo-pk232sim reads these
// lines from its standard input and its control pipe; tests call the same
// handler in-process. Commands, case-insensitive:
//   help                        the list of commands
//   call CALL                   CALL calls us (PACTOR or AMTOR, as the
//                               controller stands; not during a link)
//   text TEXT                   the other station sends a line (on a link it
//                               breaks in and hands back after it; with no
//                               link it is heard while listening). Escapes:
//                               \r or \n line break, \t tab, \\, \xNN any byte
//   over                        the other station changes over
//   disc                        the other station disconnects
//   fade                        the signal fades until the link fails
//   band off|quiet|normal|busy  how much traffic the band carries
//   answer on|off               whether a called station answers
//   mail FROM TEXT              FROM leaves a message (escapes as for text)
//   speed N                     air speed N times the real one, 0 no air time
//   cold                        the controller as switched on with no stored
//                               rate: waits for '*', then 7 bits, even parity
//   cmd | converse | host       the controller at "cmd:", in Converse, in
//                               HOST mode (each at 8 bits, no parity)
//   state                       what the controller is doing
// The answer is one or more lines, each ended by "\n"; an unknown or
// malformed command answers with a line that starts with "?".
QByteArray RunControlCommand(Pk232Model& model, const QByteArray& line, quint32 nowMs);

// "\r", "\n", "\t", "\\" and "\xNN" in `text` as the bytes they stand for
// ("\r" and "\n" both a carriage return); any other backslash stays.
QByteArray UnescapeControlText(const QByteArray& text);

// Morse, ASCII, NAVTEX and packet (ControlModes.cpp): the answer, or nothing
// for a word that is none of theirs.
std::optional<QByteArray> RunOtherModeCommand(Pk232Model& model, const QByteArray& word,
                                              const QByteArray& rest);
extern const char kOtherModesHelp[];
