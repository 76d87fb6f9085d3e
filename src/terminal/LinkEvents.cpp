#include "terminal/LinkEvents.h"

QString LinkEvents::Broadcast(const Status& s) {
    if (s.linkState.startsWith(QLatin1String("UNPRO"))) return QStringLiteral("UNPROTO");
    if (s.linkState == QLatin1String("FEC")) return QStringLiteral("FEC");
    return {};
}

QList<LinkEvents::Event> LinkEvents::Step(const Status& now, const QDateTime& utc) {
    QList<Event> out;
    const QString call = now.hisCall.trimmed();
    if (!last_.connected && now.connected) {
        connectedAt_ = utc;
        connectedCall_ = call;
        out.append({Event::Kind::Connected, QStringLiteral("CONNECTED to %1").arg(call), call});
    } else if (last_.connected && !now.connected) {
        const qint64 minutes = connectedAt_.isValid() ? connectedAt_.secsTo(utc) / 60 : 0;
        endedCall_ = connectedCall_;
        endedAt_ = utc;
        endedStart_ = connectedAt_;
        out.append(
            {Event::Kind::Disconnected,
             QStringLiteral("DISCONNECTED from %1 (%2 min)").arg(connectedCall_).arg(minutes),
             connectedCall_});
    } else if (last_.linkState == QLatin1String("CALLING") && !now.connected &&
               now.linkState != QLatin1String("CALLING")) {
        out.append({Event::Kind::Failed,
                    QStringLiteral("NO LINK with %1").arg(last_.hisCall.trimmed()),
                    last_.hisCall.trimmed()});
    }
    const QString before = Broadcast(last_), after = Broadcast(now);
    if (before != after) {
        if (!before.isEmpty())
            out.append({Event::Kind::Broadcast, before + QStringLiteral(" ended"), {}});
        if (!after.isEmpty())
            out.append({Event::Kind::Broadcast, after + QStringLiteral(" started"), {}});
    }
    last_ = now;
    return out;
}

std::optional<QDateTime> LinkEvents::LinkEnded(const QString& call) const {
    if (endedAt_.isValid() && !call.trimmed().isEmpty() &&
        endedCall_.compare(call.trimmed(), Qt::CaseInsensitive) == 0)
        return endedAt_;
    return std::nullopt;
}

std::optional<QDateTime> LinkEvents::EndedLinkStarted(const QString& call) const {
    if (!LinkEnded(call) || !endedStart_.isValid()) return std::nullopt;
    return endedStart_;
}

QString LinkEvents::Line(const QDateTime& utc, const QString& text) {
    return QStringLiteral("*** %1 UTC  %2")
        .arg(utc.toUTC().toString(QStringLiteral("HH:mm")), text);
}
