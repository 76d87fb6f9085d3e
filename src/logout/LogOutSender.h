#pragma once

#include <QHostAddress>
#include <QObject>
#include <QString>
#include <QUdpSocket>

// Sends a logged contact as UDP datagrams: the WSJT-X "Logged ADIF" message
// and the plain ADIF text, each to its own HOST:PORT when set. A host name
// is looked up without holding the window; a send that fails is reported
// through `failed` with its reason.
class LogOutSender : public QObject {
    Q_OBJECT
public:
    explicit LogOutSender(QObject* parent = nullptr);
    // Empty targets are off.
    void SetTargets(const QString& wsjtx, const QString& adifUdp);
    // The ADIF text: a header and one record.
    void Send(const QByteArray& adif);

signals:
    void failed(const QString& reason);

private:
    void SendTo(const QString& target, const QByteArray& datagram, const char* what);
    QUdpSocket socket_;
    QString wsjtx_, adifUdp_;
};
