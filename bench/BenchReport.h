#pragma once

// Machine-readable figures. With "--tsv" among its arguments a benchmark
// prints one line per figure, "name<TAB>value<TAB>unit", and nothing else on
// standard output; scripts/bench collects these lines into one table.
// Without it the benchmark prints its usual readable lines.

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace bench {

inline bool HasArg(int argc, char** argv, const char* arg) {
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], arg) == 0) return true;
    return false;
}

class Report {
public:
    Report(int argc, char** argv) : tsv_(HasArg(argc, argv, "--tsv")) {}
    // Whether the readable lines are to be left out.
    bool Tsv() const { return tsv_; }
    void Figure(const char* name, double value, const char* unit) const {
        if (tsv_) std::printf("%s\t%.3f\t%s\n", name, value, unit);
    }

private:
    bool tsv_;
};

// The peak resident memory of this process so far (VmHWM), in kilobytes;
// -1 where /proc does not tell.
inline long PeakResidentKb() {
    std::FILE* f = std::fopen("/proc/self/status", "r");
    if (!f) return -1;
    char line[256];
    long kb = -1;
    while (std::fgets(line, sizeof line, f))
        if (std::strncmp(line, "VmHWM:", 6) == 0) kb = std::atol(line + 6);
    std::fclose(f);
    return kb;
}

} // namespace bench
