// Where the numbered steps report a failure: the error report box in the main window, a line on
// standard error in a command-line front end.
#pragma once

#include "core/Text.h"

class Reporter {
public:
    virtual ~Reporter() = default;

    // A step of the procedure at location failed at line, for the reason description gives.
    virtual void ReportFailure(TextView location, int line, const Text& description) = 0;

    // The same failure as the one reported just before it, again; true when the user chose to
    // end the procedure, false when the user chose to go on without hearing of it again. A
    // reporter that cannot ask reports it as any other and goes on.
    [[nodiscard]] virtual bool ReportRepeatedFailure(TextView location, int line,
                                                     const Text& description) {
        ReportFailure(location, line, description);
        return false;
    }
};
