// The dump's walk of a tree, each window handed to a writer once all that is written of it is
// known: the dump writes its document with it, and watch reads its snapshots.
#pragma once

#include <optional>
#include <string>
#include <variant>

#include "cli/Cli.h"
#include "cli/CliRequest.h"
#include "core/Reporter.h"
#include "documents/DumpTally.h"
#include "documents/DumpWriters.h"
#include "extraction/ChildWalk.h"
#include "finding/ControlPaths.h"

// Walks the tree below root (root.path continuing in its descendants' paths) and hands each
// window to writer in the walk's order, with its items when withItems; does not end the writer.
// Answers what the walk met; failedSteps and deadlineReached are the caller's to set.
[[nodiscard]] DumpTally WalkIntoWriter(const PathMatch& root, DumpWriter& writer, bool withItems,
                                       WalkOptions options, CliServices& services,
                                       Reporter& reporter);

// The window that the selector names, or the control below it that path leads to, with its path
// as the walk writes it; or, when none or several match (and first is not given), the exit code,
// said on standard error with what --first does (firstDoes: "dumps the first").
[[nodiscard]] std::variant<PathMatch, int> SelectTreeRoot(
    const Selector& selector, bool all, bool first, const std::optional<Text>& path,
    const std::string& firstDoes, CliServices& services, Reporter& reporter);
