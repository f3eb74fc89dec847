// The numbered steps of the reporting procedures: a step that fails is reported with its
// procedure's location and line number, and the procedure goes on with its next step.
#pragma once

#include <cstddef>
#include <exception>
#include <optional>
#include <utility>
#include <vector>

#include "core/Reporter.h"
#include "core/Text.h"

inline constexpr TextView kSupportAddress = u"support@tessivane.example";

// The error report box's four lines: description, location and line, an empty line, the e-mail
// request.
[[nodiscard]] Text ErrorReportText(TextView description, TextView location, int line);

// A description longer than this is cut here for the report, so that a server or a file
// that answers with megabytes of text cannot make a report box that takes seconds to show.
inline constexpr std::size_t kLongestDescription = 2000;

// What the failure in flight says about itself, as one English sentence, cut after
// kLongestDescription code units with an ellipsis.
[[nodiscard]] Text DescribeFailure(const std::exception_ptr& failure);

// The program is ending (its main window was closed while a command let events through). It is
// no failure: no step reports it, and it unwinds the command to the front end that ran it.
class ProgramEnding : public std::exception {
public:
    [[nodiscard]] const char* what() const noexcept override { return "the program is ending"; }
};

// Runs the steps of one reporting procedure.
class StepRunner {
public:
    StepRunner(Reporter& reporter, TextView location) noexcept
        : m_reporter(reporter), m_location(location) {}

    // True once a reported failure said that nothing after it can succeed, or the user chose to
    // end the procedure.
    [[nodiscard]] bool CommandEnded() const noexcept { return m_commandEnded; }
    // What the user chose to stop, when a step ended the procedure that way: it was not reported.
    [[nodiscard]] const std::optional<Text>& StoppedByUser() const noexcept { return m_stopped; }

    // From now on, a failure described just as the one reported before it offers to end the
    // procedure, for one whose steps fail the same way over and over. When the user chooses to go
    // on, that failure is not reported again in this procedure.
    void OfferToEndOnRepeats() noexcept { m_offerToEndOnRepeats = true; }

    // Runs one step. A failure is reported (unless the user chose it) and the step abandoned;
    // answers whether it completed.
    template <typename Step>
    bool Run(int line, Step&& step) {
        try {
            std::forward<Step>(step)();
            return true;
        } catch (const ProgramEnding&) {
            throw;
        } catch (...) {
            Report(line, std::current_exception());
            return false;
        }
    }

    // Runs a test that governs later steps. When the test itself fails it is reported and
    // counts as passed, so the governed steps still run.
    template <typename Test>
    bool Check(int line, Test&& test) {
        try {
            return std::forward<Test>(test)();
        } catch (const ProgramEnding&) {
            throw;
        } catch (...) {
            Report(line, std::current_exception());
            return true;
        }
    }

private:
    void Report(int line, const std::exception_ptr& failure) noexcept;

    Reporter& m_reporter;
    TextView m_location;
    bool m_commandEnded = false;
    bool m_offerToEndOnRepeats = false;
    std::optional<Text> m_stopped;
    // The description of the last failure reported.
    Text m_lastDescription;
    // The descriptions of the repeated failures the user chose to go on after.
    std::vector<Text> m_goneOnAfter;
};
