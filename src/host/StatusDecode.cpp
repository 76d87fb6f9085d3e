#include "host/StatusDecode.h"

namespace StatusDecode {

namespace {
QChar At(const QString& s, int position) {
    return position <= s.size() ? s.at(position - 1) : QChar();
}

// The other modes' replies: "MO" x yz (Morse, yz the receive speed), "AS" x
// (ASCII), "NA" v (NAVTEX) and "PA" (packet); x is S while transmitting.
// True when the reply was one of them.
bool OtherMode(LinkStatus& st, const QString& r) {
    const QString code = r.mid(2, 2);
    const QChar x = At(r, 5);
    if (code == QLatin1String("MO")) {
        st.ModeName = QStringLiteral("MORSE");
        st.Transmitting = x == QLatin1Char('S');
        const QString wpm = r.mid(5, 2);
        bool ok = false;
        const int speed = wpm.toInt(&ok);
        st.LinkStateText = ok && wpm.size() == 2 && speed > 0
                               ? QStringLiteral("%1 WPM").arg(speed)
                               : QString();
    } else if (code == QLatin1String("AS")) {
        st.ModeName = QStringLiteral("ASCII");
        st.Transmitting = x == QLatin1Char('S');
        st.LinkStateText = st.Transmitting ? QString() : QStringLiteral("STANDBY");
    } else if (code == QLatin1String("NA")) {
        static const char* const kPhases[] = {"STANDBY", "PHASING", "OVER",  "IDLE",
                                              "TRAFFIC", "ERROR",   "REQUEST", "SYNC"};
        st.ModeName = QStringLiteral("NAVTEX");
        st.Transmitting = false;
        st.IsConnected = false; // receive only
        const int v = x.unicode() - '0';
        st.LinkStateText = v >= 0 && v <= 7 ? QLatin1String(kPhases[v]) : QString();
    } else if (code == QLatin1String("PA")) {
        st.ModeName = QStringLiteral("PACKET");
        st.Transmitting = false;
        st.LinkStateText = st.IsConnected ? QStringLiteral("CONNECT") : QString();
    } else {
        return false;
    }
    st.LinkPhaseText.clear();
    return true;
}
} // namespace

QString Compression(const QString& replyText) {
    return At(replyText, 8) == QLatin1Char('1') ? QStringLiteral("Huff") : QStringLiteral("Ascii");
}

int MakeMode(LinkStatus& st) {
    int pauses = 0;
    const QString& r = st.StatusReplyText;
    st.ModeName.clear();

    // The two-letter mode code sits at positions 3 and 4. The transmit mark
    // used here is still the one of the previous reply.
    if (OtherMode(st, r)) return pauses;
    const QString code = r.mid(2, 2);
    if (code == QLatin1String("FA")) {
        // Weather fax: "OPFA" + phase + 'R' while receiving.
        st.ModeName = QStringLiteral("FAX");
        st.LinkStateText = At(r, 6) == QLatin1Char('R') ? QStringLiteral("RECEIVE") : QString();
        st.LinkPhaseText = At(r, 5) == QLatin1Char('4') ? QStringLiteral("TRAFFIC") : QString();
        st.IsConnected = false;
        st.Transmitting = false;
        return pauses;
    }
    if (code == QLatin1String("Pt")) {
        st.ModeName = QStringLiteral("PACTOR");
    } else if (code == QLatin1String("PN")) {
        st.ModeName = QStringLiteral("PACTOR");
        st.LinkStateText = QStringLiteral("LISTEN");
    } else if (code == QLatin1String("PD")) {
        st.ModeName = QStringLiteral("PACTOR");
        st.LinkStateText = QStringLiteral("UNPRO");
    } else if (code == QLatin1String("PG")) {
        st.ModeName = QStringLiteral("PACTOR");
        if (st.IsConnected) {
            st.LinkStateText = QStringLiteral("CONNECT");
            ++pauses;
        } else {
            st.LinkStateText = QStringLiteral("CALLING");
        }
    } else if (code == QLatin1String("AM")) {
        st.ModeName = QStringLiteral("AMTOR");
    } else if (code == QLatin1String("AL")) {
        st.ModeName = QStringLiteral("AMTOR");
        st.LinkStateText = QStringLiteral("LISTEN");
    } else if (code == QLatin1String("FE")) {
        st.ModeName = QStringLiteral("AMTOR");
        st.LinkStateText = st.Transmitting ? QStringLiteral("FEC") : QStringLiteral("R");
    } else if (code == QLatin1String("AC")) {
        st.ModeName = QStringLiteral("AMTOR");
        st.LinkStateText = st.IsConnected ? QStringLiteral("CONNECT") : QStringLiteral("CALLING");
    } else if (code == QLatin1String("BA")) {
        st.ModeName = QStringLiteral("RTTY");
        st.LinkStateText = st.Transmitting ? QString() : QStringLiteral("STANDBY");
    }

    // The phase digit at position 5.
    const QChar phase = At(r, 5);
    switch (phase.unicode()) {
    case '0':
        st.LinkPhaseText = QStringLiteral("      ");
        st.LinkStateText = QStringLiteral("STANDBY");
        st.IsConnected = false;
        break;
    case '1':
        st.LinkPhaseText = QStringLiteral("PHASING");
        break;
    case '2':
        st.LinkPhaseText = QStringLiteral("OVER");
        break;
    case '3':
        st.LinkPhaseText = QStringLiteral("IDLE");
        break;
    case '4':
        st.LinkPhaseText = QStringLiteral("TRAFFIC");
        break;
    case '5':
        st.LinkPhaseText = QStringLiteral("ERROR");
        break;
    case '6':
        st.LinkPhaseText = QStringLiteral("REQUEST");
        break;
    default:
        break;
    }

    // The transmit mark: position 5 in RTTY, position 6 otherwise.
    const int markAt = st.ModeName == QLatin1String("RTTY") ? 5 : 6;
    st.Transmitting = At(r, markAt) == QLatin1Char('S');

    // A call followed by the phase "IDLE": the link is up. This is the only
    // place where a link becomes connected.
    if (st.LinkStateText == QLatin1String("CALLING") && phase == QLatin1Char('3')) {
        st.IsConnected = true;
        st.LinkStateText = QStringLiteral("CONNECT");
        ++pauses;
    }
    return pauses;
}

QString ReceiveStatusText(LinkStatus& st) {
    if (!(st.IsConnected || st.LinkStateText == QLatin1String("LISTEN"))) return QString();
    if (st.LinkPhaseText == QLatin1String("TRAFFIC"))
        st.LinkPhaseText = (QStringLiteral("TRAFFIC ") + st.CompressionText).left(13);
    return st.LinkPhaseText;
}

} // namespace StatusDecode
