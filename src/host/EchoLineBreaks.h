#pragma once

#include <QByteArray>
#include <deque>

#include "host/AirEcho.h"

// With EAS on the controller sends a carriage return but does not echo it,
// so the echo of the operator's lines would run together in the receive
// window, and the other station's answer would start on the operator's last
// line. The program knows where those carriage returns fall: after the
// characters of the text before them that do come back. It puts each one
// back into the echo at its place, right after the last echoed character of
// its line.
//
// Should a unit echo its carriage returns after all (EAS off), a carriage
// return that comes right after one put back is taken as that same one, so
// no line is ever broken twice.
class EchoLineBreaks {
public:
    // Text given to the controller in one data frame.
    void Sent(const QByteArray& text, AirEcho::Air air, bool onLink);
    // The text of an echo frame as the controller gave it back; returns it
    // with the carriage returns the controller kept to itself.
    QByteArray Echoed(const QByteArray& echo);
    // Whatever is still on its way will not come back (the controller's
    // transmit buffer was cleared, the mode changed).
    void Reset();

private:
    // Line breaks further apart than this are forgotten, oldest first.
    static constexpr size_t kMaxBreaks = 4096;
    void BreaksDue(QByteArray& out);

    quint64 sent_ = 0;           // characters sent that come back
    quint64 seen_ = 0;           // characters come back
    std::deque<quint64> breaks_; // a carriage return after this many sent
    bool justBroke_ = false;     // the last thing given back was put back
};
