#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <optional>

// Link events from the status the controller reports: a link coming up,
// ending or failing, and unproto and FEC broadcasts starting and ending.
// Each status step gives the texts of the event lines it brings. No widgets.
class LinkEvents {
public:
    struct Status {
        QString mode;      // "PACTOR", "AMTOR", ...
        QString linkState; // "CALLING", "CONNECT", "UNPRO", "FEC", ...
        bool connected = false;
        QString hisCall;
    };
    struct Event {
        enum class Kind { Connected, Disconnected, Failed, Broadcast } kind;
        QString text;
        QString call; // the other station, for Connected
    };

    // The events between the last status and `now`, at `utc`.
    QList<Event> Step(const Status& now, const QDateTime& utc);

    // The end of the last link with `call`, when it has ended.
    std::optional<QDateTime> LinkEnded(const QString& call) const;
    // The start of that link, when it has ended.
    std::optional<QDateTime> EndedLinkStarted(const QString& call) const;

    // "*** 19:42 UTC  text"
    static QString Line(const QDateTime& utc, const QString& text);

private:
    static QString Broadcast(const Status& s);
    Status last_;
    QDateTime connectedAt_;
    QString connectedCall_;
    QString endedCall_;
    QDateTime endedAt_;
    QDateTime endedStart_;
};
