#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QHash>
#include <optional>
#include <utility>
#include <QString>

// One NAVTEX message as it was received: "ZCZC B1B2B3B4" up to "NNNN".
struct NavtexMessage {
    QString id;       // B1B2B3B4: station, class, two-digit serial
    QChar station;    // B1
    QChar messageClass; // B2
    QString serial;   // B3B4
    QByteArray text;  // from "ZCZC" up to and including "NNNN", bytes as received
    QString firstLine; // the first line of text after the header line
    QDateTime receivedUtc;

    // "navtex/<B1B2B3B4>-<YYYYMMDD-HHMM>.txt"
    QString FileName() const;
};

// Collects NAVTEX messages from received text, whatever blocks it came in.
// Text outside a message is passed over; a message that grows past
// kMaxMessage bytes without its end is given up. A message whose id was
// kept in the last kRepeatHours is a repeat and is not returned again
// (stations reuse a serial once it has run through 01 to 99), except serial
// 00, which stations use for messages that are always shown.
class NavtexCollector {
public:
    static constexpr qsizetype kMaxMessage = 16 * 1024;
    static constexpr int kRepeatHours = 72;

    // The messages completed by `bytes`, in order.
    QList<NavtexMessage> Feed(const QByteArray& bytes, const QDateTime& nowUtc);
    // An id kept at `whenUtc` (for example found in the navtex folder).
    void MarkKept(const QString& id, const QDateTime& whenUtc);
    bool IsRepeat(const QString& id, const QDateTime& nowUtc) const;
    // The id and time in a file name made by NavtexMessage::FileName.
    static std::optional<std::pair<QString, QDateTime>> FromFileName(const QString& fileName);
    // True for a header id: station and class letters, two digits.
    static bool IsId(const QByteArray& id);

private:
    QByteArray tail_;    // text seen since the last message, up to a few bytes
    QByteArray message_; // the message being collected
    bool inMessage_ = false;
    QHash<QString, QDateTime> kept_;
};
