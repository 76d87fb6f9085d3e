#pragma once

// What the parts of the controller model share: the bytes of the line, the
// control bytes of the HOST frames, the texts the controller sends, and small
// helpers. Internal to the model.

#include <QByteArray>
#include <QList>
#include <QtGlobal>

namespace pk232sim {

inline constexpr quint8 kSoh = 0x01;
inline constexpr quint8 kCommandKey = 0x03; // COMMAND: Converse back to "cmd:"
inline constexpr quint8 kEot = 0x04;
inline constexpr quint8 kBs = 0x08;
inline constexpr quint8 kLf = 0x0A;
inline constexpr quint8 kCr = 0x0D;
inline constexpr quint8 kDle = 0x10; // inside a frame: the next byte is data
inline constexpr quint8 kXon = 0x11;
inline constexpr quint8 kXoff = 0x13;
inline constexpr quint8 kEtb = 0x17;
inline constexpr quint8 kCanLine = 0x18; // CANLINE: the line typed so far is dropped
inline constexpr quint8 kEm = 0x19;      // PACTOR change-over character (PTO $19)
inline constexpr quint8 kSub = 0x1A;
inline constexpr quint8 kDel = 0x7F;

// Control bytes of the HOST frames.
inline constexpr quint8 kCtlData = ' ';    // program -> controller: text to transmit
inline constexpr quint8 kCtlCommand = 'O'; // both ways: command and its reply
inline constexpr quint8 kCtlLink = 'P';    // controller -> program: link message

inline constexpr char kPrompt[] = "cmd:";
inline constexpr char kMailboxPrompt[] = "MBX>";
inline constexpr char kConnected[] = "*** CONNECTED to ";
inline constexpr char kDisconnected[] = "*** DISCONNECTED";
inline constexpr char kRetriesOut[] = "*** RETRY COUNT EXCEEDED";
inline constexpr int kMaxOutsideNote = 64;
inline constexpr int kMaxSubject = 28;
inline constexpr int kMaxEventsPerStop = 32;
inline constexpr int kMaxStops = 4096; // per Advance; a stop is an event or the air running dry

// What the Baudot alphabet (ITA2, and CCIR 476 in AMTOR) carries: letters
// (small ones go out as capitals), digits, blank, carriage return, line feed,
// the bell, and the figures of both the international and the US teleprinter
// variant. Nothing else ever goes on the air in AMTOR and RTTY.
inline bool InBaudot(quint8 c) {
    static const QByteArray kFigures = "-?:$!&#'().,;/\"=+";
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == ' ' ||
           c == 0x07 || c == kCr || c == kLf || kFigures.contains(char(c));
}

inline bool IsOn(const QByteArray& value) {
    const QByteArray v = value.trimmed().toUpper();
    return v == "ON" || v == "Y" || v == "YES";
}

inline bool IsOff(const QByteArray& value) {
    const QByteArray v = value.trimmed().toUpper();
    return v == "OFF" || v == "N" || v == "NO";
}

inline bool IsTenDigits(const QByteArray& text) {
    if (text.size() != 10) return false;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
    }
    return true;
}

// CR becomes CR LF, the way the controller ends lines towards the terminal.
inline QByteArray WithLineFeeds(const QByteArray& text) {
    QByteArray out;
    out.reserve(text.size() + 8);
    for (char c : text) {
        out.append(c);
        if (quint8(c) == kCr) out.append(char(kLf));
    }
    return out;
}

template <typename T> inline void AppendBounded(QList<T>& list, const T& item, int max) {
    if (list.size() >= max) list.removeFirst();
    list.append(item);
}

inline void AppendAirLog(QByteArray& log, const QByteArray& bytes) {
    log.append(bytes);
    // Cut in large steps, so a long run does not move the log at every byte.
    if (log.size() > 2 * Pk232Model::kMaxAirLog) {
        log.remove(0, log.size() - Pk232Model::kMaxAirLog);
    }
}

// Whether text holds "73" or "SK" as a word: the sign-off of a contact.
inline bool SaysGoodbye(const QByteArray& text) {
    QByteArray word;
    for (qsizetype i = 0; i <= text.size(); ++i) {
        const char c = i < text.size() ? text.at(i) : ' ';
        if ((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z')) {
            word.append(c);
            continue;
        }
        if (word == "73" || word.toUpper() == "SK") return true;
        word.clear();
    }
    return false;
}

// a is before b on a clock that may wrap.
inline bool Before(quint32 a, quint32 b) {
    return qint32(a - b) < 0;
}

// The text with {my}, {his}, {other}, {name}, {qth} and {othername} filled
// in: the operator's name and town are those of the station `his`.
QByteArray Fill(QByteArray text, const QByteArray& my, const QByteArray& his,
                const QByteArray& other = {});

} // namespace pk232sim
