#include "host/EchoLineBreaks.h"

namespace {
constexpr char kCr = 0x0D;
constexpr char kEndOfTransmission = 0x04;
constexpr char kChangeOver = 0x19;
} // namespace

void EchoLineBreaks::Sent(const QByteArray& text, AirEcho::Air air, bool onLink) {
    qsizetype from = 0;
    for (;;) {
        const qsizetype cr = text.indexOf(kCr, from);
        const QByteArray part = text.mid(from, cr < 0 ? -1 : cr - from);
        sent_ += quint64(AirEcho::EchoedCount(part, air, onLink, true));
        if (cr < 0) break;
        if (breaks_.size() >= kMaxBreaks) breaks_.pop_front();
        breaks_.push_back(sent_);
        from = cr + 1;
    }
}

void EchoLineBreaks::BreaksDue(QByteArray& out) {
    while (!breaks_.empty() && breaks_.front() <= seen_) {
        breaks_.pop_front();
        out.append(kCr);
        justBroke_ = true;
    }
}

QByteArray EchoLineBreaks::Echoed(const QByteArray& echo) {
    QByteArray out;
    out.reserve(echo.size() + 2);
    BreaksDue(out); // an empty line sent before this echo
    for (const char c : echo) {
        if (c == kCr) {
            // The controller's own carriage return, right after one put
            // back: the same one.
            if (!justBroke_) out.append(c);
            justBroke_ = false;
            continue;
        }
        out.append(c);
        justBroke_ = false;
        // The two orders never come back as text; should they show up, they
        // are not counted.
        if (c == kEndOfTransmission || c == kChangeOver) continue;
        ++seen_;
        BreaksDue(out);
    }
    // More came back than was counted (text from before, an order taken as
    // text): what was sent is at least what came back.
    if (seen_ > sent_) sent_ = seen_;
    return out;
}

void EchoLineBreaks::Reset() {
    breaks_.clear();
    seen_ = sent_;
    justBroke_ = false;
}
