#include "logout/LogOutSender.h"

#include <QHostInfo>

#include "logout/WsjtxDatagram.h"

LogOutSender::LogOutSender(QObject* parent) : QObject(parent) {}

void LogOutSender::SetTargets(const QString& wsjtx, const QString& adifUdp) {
    wsjtx_ = wsjtx.trimmed();
    adifUdp_ = adifUdp.trimmed();
}

void LogOutSender::Send(const QByteArray& adif) {
    if (!wsjtx_.isEmpty()) SendTo(wsjtx_, LogOut::WsjtxLoggedAdif(adif), "WSJT-X");
    if (!adifUdp_.isEmpty()) SendTo(adifUdp_, adif, "ADIF");
}

void LogOutSender::SendTo(const QString& target, const QByteArray& datagram, const char* what) {
    QString host;
    quint16 port = 0;
    const QString name = QString::fromLatin1(what);
    if (!LogOut::ParseTarget(target, host, port)) {
        emit failed(QStringLiteral("%1 %2: not HOST:PORT").arg(name, target));
        return;
    }
    const auto sendTo = [this, datagram, name, target, port](const QHostAddress& address) {
        if (socket_.writeDatagram(datagram, address, port) != datagram.size())
            emit failed(QStringLiteral("%1 %2: %3").arg(name, target, socket_.errorString()));
    };
    QHostAddress address;
    if (address.setAddress(host)) {
        sendTo(address);
        return;
    }
    // A name is looked up in the background; the datagram goes when it is
    // known.
    QHostInfo::lookupHost(host, this, [this, sendTo, name, target](const QHostInfo& info) {
        if (info.error() != QHostInfo::NoError || info.addresses().isEmpty()) {
            emit failed(QStringLiteral("%1 %2: %3").arg(name, target, info.errorString()));
            return;
        }
        sendTo(info.addresses().first());
    });
}
