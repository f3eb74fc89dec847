// The whole command's bound.
#include "cli/Deadline.h"

Deadline::Deadline(const CommandClock& clock, std::optional<std::chrono::milliseconds> limit)
    : m_clock(clock) {
    if (limit) {
        m_end = m_clock() + *limit;
    }
}

bool Deadline::AllowsMore() {
    m_reached = m_reached || (m_end && m_clock() >= *m_end);
    return !m_reached;
}
