#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>

// Packet radio over HOST mode: the frames of a channel and the link
// messages the controller sends on 0x5x (x the channel).
namespace PacketLink {

enum class Event { Connected, Disconnected, Busy, RetryExceeded, Request, OutOfOrder, Other };
struct Message {
    Event event = Event::Other;
    QString call; // the other station, where the message names it
};

// A link message as its kept characters read ("CONNECTED to K1ABC",
// "DISCONNECTED K1ABC", "K1ABC busy", "Retry count exceeded", ...).
Message Read(const QString& keptText);
// True for the events that leave the channel free.
bool EndsLink(Event event);

// SOH 0x40+channel command ETB, and SOH 0x20+channel text ETB; payloads
// escaped.
QByteArray CommandFrame(int channel, const QByteArray& command);
QByteArray DataFrame(int channel, const QByteArray& text);

// "CO" CALL[ VIA D1,D2] from what was typed into the call dialog:
// "K1ABC", "K1ABC VIA W2XYZ,W3ABC", "K1ABC V W2XYZ W3ABC".
QByteArray ConnectCommand(const QString& typed);

// The stamp put before a monitored frame: "hh:mm:ss ".
QByteArray MonitorStamp(const QDateTime& utc);

} // namespace PacketLink
