// Messages that come one a line: the input's blocks cut into lines, with a cap on a line's length
// that is kept without ever holding more than the cap of one line.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

struct FramedLine {
    // The line without its line feed (nor a carriage return before it); empty when over the cap.
    std::string_view text;
    // The line was longer than the cap: its bytes were dropped as they came.
    bool overLong = false;
    // How many bytes the line had, without its line feed.
    std::size_t bytes = 0;
};

class LineFramer {
public:
    explicit LineFramer(std::size_t maxLineBytes) : m_maxLineBytes(maxLineBytes) {}

    // Cuts the bytes into lines: each line that ends in them goes to each, in order. The bytes of
    // a line not ended yet are kept for the next call, unless the line is over the cap.
    void Feed(std::string_view bytes, const std::function<void(const FramedLine&)>& each);

    // The bytes of the unfinished line held now: never more than the cap.
    [[nodiscard]] std::size_t Held() const noexcept { return m_line.size(); }

private:
    std::size_t m_maxLineBytes;
    std::string m_line;
    // The bytes of the line so far while it is over the cap, of which none are held.
    std::size_t m_droppedBytes = 0;
};
