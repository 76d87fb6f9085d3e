#include "Pk232Model.h"

#include "ModelShared.h"

using namespace pk232sim;

// ------------------------------------------------------------------ NAVTEX

namespace {
// A few stations' broadcasts, one a repeat of the first. "ZCZC" and the
// preamble B1B2B3B4: station, class, two-digit serial.
const char* const kNavtexMessages[] = {
    "ZCZC PA12\r"
    "091200 UTC DEC\r"
    "PORTPATRICK NAVTEX NAV WARNING 123\r"
    "NORTH CHANNEL. LIGHT BUOY 54-40N 005-30W UNLIT.\r"
    "NNNN\r",
    "ZCZC SE45\r"
    "NITON WEATHER 091130 UTC\r"
    "INSHORE WATERS FORECAST: WEST 4 OR 5, OCCASIONALLY 6 LATER. SEA SLIGHT OR MODERATE.\r"
    "NNNN\r",
    "ZCZC TB03\r"
    "OOSTENDE RADIO GALE WARNING 03\r"
    "NORTH SEA SOUTH: SOUTHWEST 8, POSSIBLY SEVERE GALE 9 LATER.\r"
    "NNNN\r",
    // The repeat: the same message again, as stations send it.
    "ZCZC PA12\r"
    "091200 UTC DEC\r"
    "PORTPATRICK NAVTEX NAV WARNING 123\r"
    "NORTH CHANNEL. LIGHT BUOY 54-40N 005-30W UNLIT.\r"
    "NNNN\r",
    "ZCZC SD17\r"
    "NITON SAR 17\r"
    "OVERDUE YACHT 'SEA SWALLOW' 10M WHITE HULL, LAST SEEN 50-30N 001-00W. VESSELS KEEP WATCH.\r"
    "NNNN\r",
};
constexpr int kNavtexCount = int(sizeof kNavtexMessages / sizeof kNavtexMessages[0]);

// A station list: ALL, NONE, YES letters or NO letters.
bool Passes(const QByteArray& list, char letter) {
    const QByteArray l = list.trimmed().toUpper();
    if (l.isEmpty() || l == "ALL") return true;
    if (l == "NONE") return false;
    if (l.startsWith("YES")) return l.mid(3).contains(letter);
    if (l.startsWith("NO")) return !l.mid(2).contains(letter);
    return true;
}
} // namespace

bool Pk232Model::NavtexPasses(char station, char messageClass) const {
    // Classes A, B and D (navigational and meteorological warnings, search
    // and rescue) cannot be excluded.
    const bool mustShow = messageClass == 'A' || messageClass == 'B' || messageClass == 'D';
    return Passes(Param("NAVSTN"), station) && (mustShow || Passes(Param("NAVMSG"), messageClass));
}

QByteArray Pk232Model::NavtexSend(int count) {
    if (other_ != OtherMode::Navtex || !hostMode_) return {};
    QByteArray ids;
    for (int i = 0; i < count; ++i) {
        const QByteArray message = kNavtexMessages[navtexNext_];
        navtexNext_ = (navtexNext_ + 1) % kNavtexCount;
        const QByteArray id = message.mid(5, 4);
        if (!ids.isEmpty()) ids += ' ';
        if (!NavtexPasses(id.at(0), id.at(1))) {
            ids += '-' + id;
            continue;
        }
        ids += id;
        AppendAirLog(heard_, message);
        EmitText(navtexBlock_, message);
        navtexTrafficAt_ = now_;
    }
    return ids;
}
