// The error report box.
#include "gui/ErrorReportBox.h"

#include "core/Steps.h"

void ErrorReportBox::ReportFailure(TextView location, int line, const Text& description) {
    m_dialogs.ShowErrorReport(ErrorReportText(description, location, line));
}
