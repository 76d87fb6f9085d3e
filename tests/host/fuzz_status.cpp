// Fuzz target: the decoding of status replies. Replies as the controller
// sends them (two letters, a mode code, phase digit, transmit mark, more),
// damaged, and pure noise of any length, each decoded from a random earlier
// state. The results stay within their sets and the rules between them hold.
#include <QSet>

#include "FuzzDriver.h"
#include "host/StatusDecode.h"

namespace {

const QSet<QString> kModes = {"PACTOR", "AMTOR", "RTTY", "MORSE", "ASCII",
                              "NAVTEX", "PACKET", "FAX", ""};
const QSet<QString> kStates = {"LISTEN", "UNPRO", "CALLING", "CONNECT", "FEC",   "R",
                               "STANDBY", "",     "PHASING", "OVER",    "IDLE",  "TRAFFIC",
                               "ERROR",   "REQUEST", "SYNC", "RECEIVE"};
const QSet<QString> kPhases = {"      ",  "PHASING", "OVER",    "IDLE",
                               "TRAFFIC", "ERROR",   "REQUEST", ""};

QByteArray MakeReply(Fuzz::Random& r) {
    static const char* const kCodes[] = {"Pt", "PN", "PD", "PG", "AM", "AL",
                                         "FE", "AC", "BA", "XX", "pn", "MO",
                                         "AS", "NA", "PA", "FA", ""};
    // The first byte of an input is the earlier state; the rest the reply.
    QByteArray reply(1, r.Byte());
    if (r.OneIn(10)) return reply + r.Bytes(r.Length(30, 300));
    reply += "OP";
    reply += r.Pick(kCodes);
    reply += char('0' + r.Below(8));
    reply += r.OneIn(2) ? 'S' : char('A' + r.Below(26));
    reply += r.Bytes(r.Below(6));
    return r.OneIn(3) ? r.Mutate(reply, int(r.Between(1, 3))) : reply;
}

QString Check(const QByteArray& input) {
    if (input.isEmpty()) return QString();
    // The state a reply finds: any of the values the decoding leaves behind.
    const quint8 state = quint8(input[0]);
    LinkStatus st;
    st.IsConnected = state & 1;
    st.Transmitting = state & 2;
    static const char* const kStart[] = {"LISTEN", "UNPRO", "CALLING", "CONNECT",
                                         "FEC",    "R",     "STANDBY", ""};
    st.LinkStateText = QString::fromLatin1(kStart[(state >> 2) % 8]);
    st.LinkPhaseText = (state & 0x80) ? QStringLiteral("TRAFFIC") : QStringLiteral("IDLE");
    st.CompressionText = (state & 0x40) ? QStringLiteral("Huff") : QStringLiteral("Ascii");
    // Replies and noise go in as they come: the decoding must take any text.
    st.StatusReplyText = QString::fromLatin1(input.mid(1));
    const QString reply = st.StatusReplyText;

    const int pauses = StatusDecode::MakeMode(st);
    st.CompressionText = StatusDecode::Compression(reply);
    const QString pane = StatusDecode::ReceiveStatusText(st);

    FUZZ_EXPECT(pauses == 0 || pauses == 1, QStringLiteral("pauses %1").arg(pauses));
    FUZZ_EXPECT(kModes.contains(st.ModeName), st.ModeName);
    FUZZ_EXPECT(kStates.contains(st.LinkStateText) ||
                    (st.ModeName == "MORSE" && st.LinkStateText.endsWith(" WPM")),
                st.LinkStateText);
    // Morse and ASCII have their transmit mark where RTTY has it; packet
    // and NAVTEX none; the phase digit is for the others.
    const bool keyed = st.ModeName == "RTTY" || st.ModeName == "MORSE" || st.ModeName == "ASCII";
    const bool phased = !keyed && st.ModeName != "PACKET";
    FUZZ_EXPECT(kPhases.contains(st.LinkPhaseText) || st.LinkPhaseText.startsWith("TRAFFIC "),
                st.LinkPhaseText);
    FUZZ_EXPECT(st.LinkPhaseText.size() <= 13, st.LinkPhaseText);
    FUZZ_EXPECT(pane.isEmpty() || pane == st.LinkPhaseText, pane);
    FUZZ_EXPECT(st.CompressionText == "Huff" || st.CompressionText == "Ascii", st.CompressionText);
    // Weather fax: receiving or not, never a link nor a transmission.
    if (st.ModeName == "FAX") {
        FUZZ_EXPECT(!st.Transmitting && !st.IsConnected, reply);
        return QString();
    }
    // Phase "0" always ends in STANDBY, without a link.
    if (phased && reply.size() >= 5 && reply[4] == QLatin1Char('0'))
        FUZZ_EXPECT(st.LinkStateText == "STANDBY" && !st.IsConnected, reply);
    // The transmit mark: position 5 in RTTY, 6 otherwise.
    const int mark = keyed ? 4 : 5;
    if (st.ModeName == "NAVTEX" || st.ModeName == "PACKET")
        FUZZ_EXPECT(!st.Transmitting, reply);
    else
        FUZZ_EXPECT(st.Transmitting == (reply.size() > mark && reply[mark] == QLatin1Char('S')),
                    reply);
    // A link shows as CONNECT in an ARQ mode with a known code.
    if (st.LinkStateText == "CONNECT")
        FUZZ_EXPECT(st.ModeName == "PACTOR" || st.ModeName == "AMTOR" ||
                        st.ModeName == "PACKET" || st.ModeName.isEmpty(),
                    reply);
    return QString();
}

} // namespace

DERVALO_FUZZ_MAIN(Fuzz::NoSetup, MakeReply, Check, 0x5747, 100000)
