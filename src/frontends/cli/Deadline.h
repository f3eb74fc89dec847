// The bound on a whole command that --deadline sets: once it has passed, the command writes no
// more windows and says that it stopped.
#pragma once

#include <chrono>
#include <functional>
#include <optional>

// The time now, on a clock that only goes forward.
using CommandClock = std::function<std::chrono::steady_clock::time_point()>;

class Deadline {
public:
    // Starts now; without a limit the command may take as long as it takes.
    Deadline(const CommandClock& clock, std::optional<std::chrono::milliseconds> limit);

    // Whether the command may go on: false from the first time it is asked after the limit.
    [[nodiscard]] bool AllowsMore();
    // A question to AllowsMore was answered no: the command stopped before its end.
    [[nodiscard]] bool Reached() const noexcept { return m_reached; }

private:
    const CommandClock& m_clock;
    std::optional<std::chrono::steady_clock::time_point> m_end;
    bool m_reached = false;
};
