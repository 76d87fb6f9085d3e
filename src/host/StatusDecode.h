#pragma once

#include <QString>

// The link state as the controller's status replies describe it.
struct LinkStatus {
    QString ModeName; // "PACTOR", "AMTOR", "RTTY", "DUMB" or empty
    QString
        LinkStateText; // "LISTEN", "UNPRO", "CALLING", "CONNECT", "FEC", "R", "STANDBY" or empty
    QString LinkPhaseText;   // at most 13 characters
    QString CompressionText; // "Huff" or "Ascii"
    QString StatusReplyText; // kept characters of the last reply, at most 20
    QString LinkMessageText; // kept characters of the last link message, at most 40
    bool IsConnected = false;
    bool Transmitting = false;
};

namespace StatusDecode {

constexpr int kMaxReply = 20;
constexpr int kMaxLinkMessage = 40;

// Decodes `status.StatusReplyText` into mode, link state, phase and transmit
// mark, the way the status line needs them. Returns how many 200 ms pauses
// the decoding asks for (the controller is given time after a link comes up).
int MakeMode(LinkStatus& status);

// "Huff" when the 8th kept character is "1", otherwise "Ascii".
QString Compression(const QString& replyText);

// The text of the "Receive Status" pane: for "TRAFFIC" the compression is
// added (cut to 13 characters) and stored back into the phase text.
QString ReceiveStatusText(LinkStatus& status);

} // namespace StatusDecode
