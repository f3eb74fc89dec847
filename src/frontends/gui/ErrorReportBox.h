// The main window's way of reporting a failed step: the error report box.
#pragma once

#include "core/Reporter.h"
#include "ports/Dialogs.h"

class ErrorReportBox : public Reporter {
public:
    explicit ErrorReportBox(Dialogs& dialogs) noexcept : m_dialogs(dialogs) {}

    void ReportFailure(TextView location, int line, const Text& description) override;
    // The same box, with Cancel beside OK to end the command.
    bool ReportRepeatedFailure(TextView location, int line, const Text& description) override;

private:
    Dialogs& m_dialogs;
};
