#pragma once

// What the in-process benchmarks share: prompts that answer every box
// without showing it, and the processor time of the calling thread.
#include <ctime>

#include "shell/Prompts.h"

namespace bench {

class SilentPrompts : public QtPrompts {
public:
    Answer MessageBox(const QString&, const QString&, Buttons) override { return Answer::Ok; }
    bool Confirm(const QString&, const QString&) override { return true; }
};

inline double ThreadCpuMicroseconds() {
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return double(ts.tv_sec) * 1e6 + double(ts.tv_nsec) / 1e3;
}

} // namespace bench
