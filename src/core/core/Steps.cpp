// The error report text and the step runner's report.
#include "core/Steps.h"

#include <algorithm>
#include <new>
#include <stdexcept>

#include "core/Failure.h"

Text ErrorReportText(TextView description, TextView location, int line) {
    Text text(description);
    text += u"\r\nin ";
    text += location;
    text += u" at line ";
    text += DecimalText(line);
    text += u"\r\rPlease email screenshot of this message to ";
    text += kSupportAddress;
    return text;
}

namespace {

// The description as shown: cut after kLongestDescription code units, never inside a
// surrogate pair, with an ellipsis.
Text Shown(TextView description) {
    if (description.size() <= kLongestDescription) {
        return Text(description);
    }
    std::size_t cut = kLongestDescription;
    if (description[cut - 1] >= 0xD800 && description[cut - 1] < 0xDC00) {
        --cut;
    }
    return Text(description.substr(0, cut)) + u"\u2026";
}

}  // namespace

Text DescribeFailure(const std::exception_ptr& failure) {
    try {
        std::rethrow_exception(failure);
    } catch (const Failure& known) {
        return Shown(known.Description());
    } catch (const std::bad_alloc&) {
        return u"There is not enough memory to finish this step.";
    } catch (const std::exception& other) {
        return Shown(u"An unexpected failure occurred: " + Utf8ToText(other.what()) + u".");
    } catch (...) {
        return u"An unexpected failure occurred.";
    }
}

void StepRunner::Report(int line, const std::exception_ptr& failure) noexcept {
    bool chosenByUser = false;
    try {
        std::rethrow_exception(failure);
    } catch (const Failure& known) {
        m_commandEnded = m_commandEnded || known.EndsCommand() || known.ChosenByUser();
        chosenByUser = known.ChosenByUser();
    } catch (...) {
        // Only a Failure can say that nothing after it can succeed; any other is described below.
    }
    try {
        Text description = DescribeFailure(failure);
        if (chosenByUser) {
            m_stopped = std::move(description);
            return;
        }
        if (std::find(m_goneOnAfter.begin(), m_goneOnAfter.end(), description) !=
            m_goneOnAfter.end()) {
            return;
        }
        const bool repeated = m_offerToEndOnRepeats && description == m_lastDescription;
        if (!repeated) {
            m_reporter.ReportFailure(m_location, line, description);
        } else if (m_reporter.ReportRepeatedFailure(m_location, line, description)) {
            m_commandEnded = true;
        } else {
            m_goneOnAfter.push_back(description);
        }
        m_lastDescription = std::move(description);
    } catch (...) {
        // Report is noexcept: with nothing left to report with, the procedure goes on as after
        // any report.
    }
}
