// The end of the program after a fault that no code of it handled, in the tool or in a module
// loaded into it (a spreadsheet application's in-process server, say). Nothing can be trusted
// after such a fault, so the program does not go on: the fault is named in a box, shown by the
// UI thread so that the window waits for it, and the process ends at once, as the system would
// end it, without running any more of its code or the loaded modules'.
#pragma once

// Installs the process's last exception filter and makes the UI thread's receiver of its report.
// Call on the UI thread, before the window is made. Without a receiver (it could not be made), a
// fault is reported on the thread where it happened.
void InstallFaultExit() noexcept;
