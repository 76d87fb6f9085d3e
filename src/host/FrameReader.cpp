#include "host/FrameReader.h"

#include <utility>

#include "host/Frames.h"

void FrameReader::Cut(bool complete) {
    current_.complete = complete;
    ready_.push_back(std::exchange(current_, Frame()));
    at_ = At::Between;
    dle_ = false;
}

void FrameReader::Take(const char* bytes, qsizetype count) {
    for (qsizetype i = 0; i < count; ++i) {
        const char b = bytes[i];
        switch (at_) {
        case At::Between:
            if (b == Frames::kStart) at_ = At::Control;
            break;
        case At::Control:
            // The control byte is taken as it is; an end byte here ends a
            // frame that has none, a start byte begins again.
            if (b == Frames::kEnd) {
                at_ = At::Between;
            } else if (b != Frames::kStart) {
                current_.control = quint8(b);
                at_ = At::Payload;
            }
            break;
        case At::Payload:
            if (dle_) {
                dle_ = false;
                current_.payload.append(b);
            } else if (b == Frames::kDle) {
                dle_ = true;
            } else if (b == Frames::kEnd) {
                Cut(true);
            } else if (b == Frames::kStart) {
                Cut(false);
                at_ = At::Control;
            } else {
                current_.payload.append(b);
            }
            if (at_ == At::Payload && current_.payload.size() >= kMaxPayload) Cut(false);
            break;
        }
    }
}

FrameReader::Frame FrameReader::Next() {
    Frame f = std::move(ready_.front());
    ready_.pop_front();
    return f;
}

void FrameReader::Reset() {
    at_ = At::Between;
    dle_ = false;
    current_ = Frame();
    ready_.clear();
}
