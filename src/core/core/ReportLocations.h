// The location names that the error report box prints for each reporting procedure. They are
// data that users quote in their e-mails to support, kept verbatim; the code's own names need
// not mirror them.
#pragma once

#include "core/Text.h"

namespace ReportLocation {
inline constexpr TextView Load = u"Tessivane2021/08/31.Form1.Form_Load";
inline constexpr TextView RefreshList = u"Tessivane2021/08/31.Form1.PushButton1_Click";
inline constexpr TextView ExtractSelectedWindow = u"Tessivane2021/08/31.Form1.PushButton2_Click";
inline constexpr TextView SaveResultsAsSpreadsheet = u"Tessivane2021/08/31.Form1.PushButton3_Click";
inline constexpr TextView CopyResultsToClipboard = u"Tessivane2021/08/31.Form1.PushButton4_Click";
inline constexpr TextView ClearResults = u"Tessivane2021/08/31.Form1.PushButton5_Click";
inline constexpr TextView SaveResultsAsTextFile = u"Tessivane2021/08/31.Form1.PushButton6_Click";
inline constexpr TextView FillWindowList = u"Tessivane2021/08/31.mProcess.getAllWindows";
inline constexpr TextView WalkWindowTree = u"Tessivane2021/08/31.mWindowInfo.WindowInfo";
}  // namespace ReportLocation
