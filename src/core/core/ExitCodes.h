// tessivane-cli's exit codes and the start of its own messages on standard error: what the
// command line, the agent server and the finding of windows answer alike.
#pragma once

#include <string_view>

namespace ExitCode {
inline constexpr int kDone = 0;
// The command line is wrong (CLI11 says how), or the output file cannot be written.
inline constexpr int kUsage = 1;
inline constexpr int kNoMatch = 2;
// The selector matched more than one window and --first was not given.
inline constexpr int kManyMatches = 3;
// Done, but some windows or items are missing or incomplete; their status says which.
inline constexpr int kIncomplete = 4;
// diff: the two dumps differ.
inline constexpr int kDiffers = 5;
}  // namespace ExitCode

// What the command line's own messages on standard error start with.
inline constexpr std::string_view kMessagePrefix = "tessivane-cli: ";
