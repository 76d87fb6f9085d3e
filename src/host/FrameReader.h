#pragma once

#include <QByteArray>
#include <QtGlobal>
#include <deque>

// Turns the bytes of the line into whole HOST frames, whichever way the line
// cuts them: it takes the bytes that have come, never waits for more, and
// keeps where it stands between calls (a frame begun, a DLE whose byte has
// not come yet). A frame handed out has its control byte and its payload
// with every DLE taken away. A start byte that no DLE makes data begins a
// new frame: the frame it cuts is handed out as cut (`complete` false), so
// a frame that lost its end byte never swallows the next one. Bytes between
// frames are skipped. Pure, no widgets, no line.
class FrameReader {
public:
    struct Frame {
        quint8 control = 0;
        QByteArray payload; // unescaped
        bool complete = true;
    };
    // A payload this long without an end byte is handed out cut: line noise
    // never grows a frame without bound.
    static constexpr qsizetype kMaxPayload = 8192;

    void Take(const char* bytes, qsizetype count);
    void Take(const QByteArray& bytes) { Take(bytes.constData(), bytes.size()); }
    bool HasFrame() const { return !ready_.empty(); }
    // The oldest whole frame; call only when HasFrame.
    Frame Next();
    // The oldest whole frame, left in place; null when none has come.
    const Frame* Peek() const { return ready_.empty() ? nullptr : &ready_.front(); }
    // A frame has begun and not ended.
    bool InFrame() const { return at_ != At::Between; }
    // Forgets the frame begun and every frame not yet taken.
    void Reset();

private:
    enum class At { Between, Control, Payload };
    void Cut(bool complete);

    At at_ = At::Between;
    bool dle_ = false;
    Frame current_;
    std::deque<Frame> ready_;
};
