// a job's progress as one fraction split into phases, and the pace at which it is worth showing
#pragma once

#include <chrono>
#include <functional>
#include <memory>

namespace corvane {

// A share of one progress bar. The whole job is a Progress over [0, 1]; each phase of it takes a Part,
// and reports inside a part are fractions of that part alone, so no phase needs to know where it sits.
// What reaches the sink stays within [0, 1] and never goes backwards, whatever a phase reports: a bar
// that jumps back looks like a fault. Reports come from one thread at a time.
class Progress {
public:
    using Sink = std::function<void(double fraction)>;

    Progress() = default; // reports go nowhere
    explicit Progress(Sink sink);

    // [start, start + share] of this progress, as a progress of its own.
    Progress Part(double start, double share) const;
    void Report(double fraction) const;
    explicit operator bool() const { return m_shared != nullptr; }

private:
    struct Shared {
        Sink sink;
        double reported = 0;
    };
    std::shared_ptr<Shared> m_shared;
    double m_start = 0;
    double m_share = 1;
};

// Decides which progress reports are worth a trip to another thread or a terminal: a new step always,
// a changed value no more often than once per interval, an unchanged value never.
class ProgressThrottle {
public:
    using TimePoint = std::chrono::steady_clock::time_point;

    explicit ProgressThrottle(std::chrono::milliseconds interval) : m_interval(interval) {}

    bool shouldPost(int step, int value, TimePoint now);

private:
    std::chrono::milliseconds m_interval;
    bool m_posted = false;
    int m_step = 0;
    int m_value = 0;
    TimePoint m_last{};
};

} // namespace corvane
