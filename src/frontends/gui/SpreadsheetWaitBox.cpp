// The offer to keep waiting for the spreadsheet application.
#include "gui/SpreadsheetWaitBox.h"

bool SpreadsheetWaitBox::KeepWaiting(std::chrono::seconds waited) {
    return m_dialogs.AskRetryCancel(
        u"Excel has not answered for " + DecimalText(waited.count()) +
            u" seconds. It may be busy, or waiting for an answer in one of its own "
            u"windows.\r\rClick Retry to keep waiting, or Cancel to stop the export.",
        m_caption);
}
