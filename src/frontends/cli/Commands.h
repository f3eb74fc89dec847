// The commands of tessivane-cli.
#pragma once

#include "cli/Cli.h"
#include "cli/CliRequest.h"
#include "core/ExitCodes.h"
#include "core/Reporter.h"
#include "documents/DumpTally.h"
#include "documents/Output.h"

// Lists the desktop's top-level windows to the standard output; answers the exit code.
[[nodiscard]] int RunList(const ListRequest& request, CliServices& services, Reporter& reporter);

// Dumps the selected window's tree; answers the exit code.
[[nodiscard]] int RunDump(const DumpRequest& request, CliServices& services, Reporter& reporter);

// Searches the descendants of the top-level windows (or of the selected one) for the criteria
// and lists the windows that match; answers the exit code.
[[nodiscard]] int RunFind(const FindRequest& request, CliServices& services, Reporter& reporter);
// Writes the selected window's tree, then a line for each change as it is seen, until the window
// closes, a limit of the request is reached or a stop is asked; answers the exit code.
[[nodiscard]] int RunWatch(const WatchRequest& request, CliServices& services, Reporter& reporter);
// Compares two dumps and writes what changed from the first to the second; answers the exit code.
// Throws Failure, naming the file and the line, when a dump cannot be read.
[[nodiscard]] int RunDiff(const DiffRequest& request, CliServices& services);
// Ends the command's output and answers its exit code: 0 when the output's reader went before
// the end (a pipe into a program that read what it wanted), else the tally's, with one line on
// standard error that sums up what is missing when that is 4.
[[nodiscard]] int Finished(Output& output, const DumpTally& tally, Console& console);
