// The error report box.
#include "gui/ErrorReportBox.h"

#include "core/Steps.h"

void ErrorReportBox::ReportFailure(TextView location, int line, const Text& description) {
    m_dialogs.ShowErrorReport(ErrorReportText(description, location, line));
}

bool ErrorReportBox::ReportRepeatedFailure(TextView location, int line, const Text& description) {
    return m_dialogs.ShowErrorReportOfferingToStop(ErrorReportText(description, location, line));
}
