// progress phases mapped onto one bar, and the throttle of its reports
#include "core/common/progress.h"

#include <algorithm>

namespace corvane {

Progress::Progress(Sink sink)
    : m_shared(sink ? std::make_shared<Shared>(Shared{std::move(sink)}) : nullptr) {}

Progress Progress::Part(double start, double share) const {
    Progress part = *this;
    part.m_start = m_start + m_share * std::clamp(start, 0.0, 1.0);
    part.m_share = m_share * std::clamp(share, 0.0, 1.0 - std::clamp(start, 0.0, 1.0));
    return part;
}

void Progress::Report(double fraction) const {
    if (!m_shared)
        return;
    const double whole = std::clamp(m_start + m_share * std::clamp(fraction, 0.0, 1.0), 0.0, 1.0);
    m_shared->reported = std::max(m_shared->reported, whole);
    m_shared->sink(m_shared->reported);
}

bool ProgressThrottle::shouldPost(int step, int value, TimePoint now) {
    const bool newStep = !m_posted || step != m_step;
    if (!newStep && (value == m_value || now - m_last < m_interval))
        return false;
    m_posted = true;
    m_step = step;
    m_value = value;
    m_last = now;
    return true;
}

} // namespace corvane
