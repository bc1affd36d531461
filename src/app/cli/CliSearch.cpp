// Running the searches with a progress line: only when standard error is a
// terminal, only after the first second, rewritten in place and cleared when
// the search ends, so that the printed result starts on a clean line.
#include "app/cli/CliSearch.h"

#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <string>

#include "runtime/Numbers.h"

namespace cli {
namespace {

constexpr double kQuietSeconds = 1.0;

class ProgressLine {
public:
    ProgressLine() : enabled_(isatty(fileno(stderr)) == 1) {}
    ~ProgressLine() {
        if (shown_) write("\r\x1B[K");
    }
    ProgressLine(const ProgressLine&) = delete;
    ProgressLine& operator=(const ProgressLine&) = delete;

    bool enabled() const { return enabled_; }

    // Rewritten at most ten times a second, however often it is called.
    void show(double elapsedSeconds, const std::string& what) {
        if (!enabled_ || elapsedSeconds < kQuietSeconds || elapsedSeconds < nextShow_) return;
        nextShow_ = elapsedSeconds + 0.1;
        write("\r\x1B[Kimpostra-cli: " + rt::formatDouble(rt::roundTo(elapsedSeconds, 1)) + " s, " + what);
        shown_ = true;
    }

private:
    static void write(const std::string& text) {
        std::fwrite(text.data(), 1, text.size(), stderr);
        std::fflush(stderr);
    }

    bool enabled_;
    bool shown_ = false;
    double nextShow_ = 0;
};

}  // namespace

calc::Division runDivision(std::span<const int32_t> quantities, int32_t ups, int32_t plates,
                           double timeLimitSeconds) {
    ProgressLine line;
    calc::DivisionOptions options;
    options.timeLimitSeconds = timeLimitSeconds;
    if (line.enabled())
        options.progress = [&line](const calc::DivisionProgress& p) {
            line.show(p.elapsedSeconds, "best " + rt::formatInt(p.bestSheets) + " sheets, lower bound " +
                                            rt::formatInt(p.lowerBound));
        };
    return calc::divideOverPlates(quantities, ups, plates, options);
}

std::vector<calc::Division> runDivisions(std::span<const int32_t> quantities, int32_t ups,
                                         std::span<const int32_t> plateCounts, double timeLimitSeconds) {
    // The line counts from the first search: the searches are one wait for
    // whoever runs them.
    ProgressLine line;
    const auto start = std::chrono::steady_clock::now();
    std::vector<calc::Division> divisions;
    divisions.reserve(plateCounts.size());
    for (size_t i = 0; i < plateCounts.size(); ++i) {
        calc::DivisionOptions options;
        options.timeLimitSeconds = timeLimitSeconds;
        if (line.enabled()) {
            const std::string count = rt::formatInt(plateCounts[i]) + " plates (search " +
                                      rt::formatInt(static_cast<int64_t>(i) + 1) + " of " +
                                      rt::formatInt(static_cast<int64_t>(plateCounts.size())) + ")";
            options.progress = [&line, &start, count](const calc::DivisionProgress& p) {
                const double elapsed =
                    std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
                line.show(elapsed, count + ", best " + rt::formatInt(p.bestSheets) + " sheets, lower bound " +
                                       rt::formatInt(p.lowerBound));
            };
        }
        divisions.push_back(calc::divideOverPlates(quantities, ups, plateCounts[i], options));
    }
    return divisions;
}

calc::CutSearch runCutSearch(std::span<const int32_t> quantities, int32_t ups, int32_t trials, uint64_t seed,
                             double timeLimitSeconds) {
    // searchCuts is the window's loop with the seeded orderings, so that
    // --report shows the cut found here.
    ProgressLine line;
    if (!line.enabled()) return calc::searchCuts(quantities, ups, trials, seed, timeLimitSeconds);
    const auto start = std::chrono::steady_clock::now();
    return calc::searchCuts(quantities, ups, trials, seed, timeLimitSeconds, [&](const calc::CutSearch& search) {
        const double elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        line.show(elapsed, "trial " + rt::formatInt(search.trialsRun) + " of " + rt::formatInt(trials) + ", best " +
                               rt::formatInt(search.best.sheets) + " sheets");
    });
}

}  // namespace cli
