// The error report box and the numbered steps of the reporting procedures: a step that fails
// is reported with its procedure's location and line number, and the procedure goes on.
#pragma once

#include <exception>
#include <utility>

#include "app/Dialogs.h"
#include "common/Text.h"

inline constexpr TextView kSupportAddress = u"support@tessivane.example";

// Location names of the reporting procedures, as the error report box shows them.
namespace Location {
inline constexpr TextView Form_Load = u"Tessivane2021/08/31.Form1.Form_Load";
inline constexpr TextView PushButton1_Click = u"Tessivane2021/08/31.Form1.PushButton1_Click";
inline constexpr TextView PushButton2_Click = u"Tessivane2021/08/31.Form1.PushButton2_Click";
inline constexpr TextView PushButton3_Click = u"Tessivane2021/08/31.Form1.PushButton3_Click";
inline constexpr TextView PushButton4_Click = u"Tessivane2021/08/31.Form1.PushButton4_Click";
inline constexpr TextView PushButton5_Click = u"Tessivane2021/08/31.Form1.PushButton5_Click";
inline constexpr TextView PushButton6_Click = u"Tessivane2021/08/31.Form1.PushButton6_Click";
inline constexpr TextView getAllWindows = u"Tessivane2021/08/31.mProcess.getAllWindows";
inline constexpr TextView WindowInfo = u"Tessivane2021/08/31.mWindowInfo.WindowInfo";
}  // namespace Location

// The four lines of the box: description, location and line, an empty line, the e-mail request.
[[nodiscard]] Text ErrorReportText(TextView description, TextView location, int line);

// What the failure in flight says about itself, as one English sentence.
[[nodiscard]] Text DescribeFailure(const std::exception_ptr& failure);

// Runs the steps of one reporting procedure under its trap.
class StepTrap {
public:
    StepTrap(Dialogs& dialogs, TextView location) noexcept
        : m_dialogs(dialogs), m_location(location) {}

    // True once a reported failure said that nothing after it can succeed.
    [[nodiscard]] bool CommandEnded() const noexcept { return m_commandEnded; }

    // Runs one step. A failure is reported and the step abandoned; answers whether it completed.
    template <typename Step>
    bool Run(int line, Step&& step) noexcept {
        try {
            std::forward<Step>(step)();
            return true;
        } catch (...) {
            Report(line, std::current_exception());
            return false;
        }
    }

    // Runs a test that governs later steps. When the test itself fails it is reported and
    // counts as passed, so the governed steps still run.
    template <typename Test>
    bool Check(int line, Test&& test) noexcept {
        try {
            return std::forward<Test>(test)();
        } catch (...) {
            Report(line, std::current_exception());
            return true;
        }
    }

private:
    void Report(int line, const std::exception_ptr& failure) noexcept;

    Dialogs& m_dialogs;
    TextView m_location;
    bool m_commandEnded = false;
};
