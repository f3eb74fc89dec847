// The error report text and the step runner's report.
#include "core/Steps.h"

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

Text DescribeFailure(const std::exception_ptr& failure) {
    try {
        std::rethrow_exception(failure);
    } catch (const Failure& known) {
        return known.Description();
    } catch (const std::bad_alloc&) {
        return u"There is not enough memory to finish this step.";
    } catch (const std::exception& other) {
        return u"An unexpected failure occurred: " + Utf8ToText(other.what()) + u".";
    } catch (...) {
        return u"An unexpected failure occurred.";
    }
}

void StepRunner::Report(int line, const std::exception_ptr& failure) noexcept {
    try {
        std::rethrow_exception(failure);
    } catch (const Failure& known) {
        m_commandEnded = m_commandEnded || known.EndsCommand();
    } catch (...) {
    }
    try {
        m_reporter.ReportFailure(m_location, line, DescribeFailure(failure));
    } catch (...) {
        // Nothing is left to report with: the procedure goes on as after any report.
    }
}
