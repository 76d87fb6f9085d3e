#include "rig/RigSetting.h"

#include <QStringList>

std::optional<RigSetting> RigSetting::Parse(const QString& given) {
    const QString text = given.trimmed();
    RigSetting s;
    if (text.isEmpty() || text == QLatin1String("none")) return s;
    bool ok = false;
    if (text.startsWith(QLatin1String("rigctld:"))) {
        // The host may be an IPv6 address: the port is after the last colon.
        const QString rest = text.mid(8);
        const qsizetype colon = rest.lastIndexOf(QLatin1Char(':'));
        if (colon <= 0) return std::nullopt;
        const uint port = rest.mid(colon + 1).toUInt(&ok);
        if (!ok || port == 0 || port > 65535) return std::nullopt;
        s.kind = Kind::Rigctld;
        s.host = rest.left(colon);
        s.port = quint16(port);
        s.model = 2;
        return s;
    }
    if (text.startsWith(QLatin1String("hamlib:"))) {
        // The device is what stands between the model and the rate.
        const QString rest = text.mid(7);
        const qsizetype first = rest.indexOf(QLatin1Char(':'));
        const qsizetype last = rest.lastIndexOf(QLatin1Char(':'));
        if (first <= 0 || last <= first + 1) return std::nullopt;
        s.model = rest.left(first).toInt(&ok);
        if (!ok || s.model <= 0) return std::nullopt;
        s.rate = rest.mid(last + 1).toInt(&ok);
        if (!ok || s.rate <= 0) return std::nullopt;
        s.device = rest.mid(first + 1, last - first - 1);
        s.kind = Kind::Hamlib;
        return s;
    }
    return std::nullopt;
}

QString RigSetting::ToText() const {
    switch (kind) {
    case Kind::Rigctld:
        return QStringLiteral("rigctld:%1:%2").arg(host).arg(port);
    case Kind::Hamlib:
        return QStringLiteral("hamlib:%1:%2:%3").arg(model).arg(device).arg(rate);
    case Kind::None:
        break;
    }
    return QStringLiteral("none");
}

QString RigSetting::Path() const {
    return kind == Kind::Rigctld ? QStringLiteral("%1:%2").arg(host).arg(port) : device;
}
