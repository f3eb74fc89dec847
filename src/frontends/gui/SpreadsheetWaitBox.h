// The main window's offer to keep waiting for a spreadsheet application that has not answered.
#pragma once

#include "core/Text.h"
#include "ports/Automation.h"
#include "ports/Dialogs.h"

class SpreadsheetWaitBox : public AutomationWait {
public:
    // caption: the application title, as it stands when the box shows.
    SpreadsheetWaitBox(Dialogs& dialogs, const Text& caption) noexcept
        : m_dialogs(dialogs), m_caption(caption) {}

    // A box with Retry (keep waiting) and Cancel (stop the export).
    bool KeepWaiting(std::chrono::seconds waited) override;

private:
    Dialogs& m_dialogs;
    const Text& m_caption;
};
