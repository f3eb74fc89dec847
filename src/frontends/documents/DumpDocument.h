// A document that dump wrote, read back into its windows: the JSON tree or the JSON lines.
#pragma once

#include <cstddef>
#include <string_view>

#include "core/Failure.h"
#include "documents/Snapshot.h"

// What makes a document unreadable, and the line (from 1) where it is.
class UnreadableDocument : public Failure {
public:
    UnreadableDocument(std::size_t line, Text description)
        : Failure(std::move(description)), m_line(line) {}

    [[nodiscard]] std::size_t Line() const noexcept { return m_line; }

private:
    std::size_t m_line;
};

// The windows of a dump's document in UTF-8 (a byte order mark allowed), in the walk's order.
// JSON lines start with a "type" on their first line; anything else is read as the JSON tree.
// Throws UnreadableDocument when the bytes are not JSON, not a dump, or a window lacks what the
// dump writes.
[[nodiscard]] Snapshot ReadDumpDocument(std::string_view bytes);
