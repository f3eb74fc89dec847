// The window text read.
#include "extraction/TextRead.h"

#include <algorithm>
#include <optional>

namespace {

// The text in buffer as the window answered copied units into it: the answer is kept within
// the buffer, and the text ends at its first NUL.
Text TextOf(std::span<const char16_t> buffer, std::int64_t copied) {
    const auto believed = static_cast<std::size_t>(
        std::clamp<std::int64_t>(copied, 0, static_cast<std::int64_t>(buffer.size()) - 1));
    const auto end = std::find(buffer.begin(), buffer.begin() + believed, u'\0');
    return Text(buffer.begin(), end);
}

}  // namespace

bool TextReadSession::IsHung(WindowHandle window) {
    return !m_hungThreads.empty() && m_hungThreads.contains(m_windows.ThreadOf(window));
}

void TextReadSession::MarkHung(WindowHandle window) {
    m_hungThreads.insert(m_windows.ThreadOf(window));
}

std::span<char16_t> TextReadSession::Buffer(std::size_t units) {
    if (m_buffer.size() < units) {
        m_buffer.resize(units);
    }
    return {m_buffer.data(), units};
}

WindowText ReadWindowText(WindowHandle window, TextReadSession& session) {
    if (window == 0) {
        return {};
    }
    if (session.IsHung(window)) {
        return {{}, TextReadStatus::TimedOut};
    }
    WindowSystem& windows = session.Windows();
    const std::span<char16_t> first = session.Buffer(kFirstReadUnits);
    const std::optional<std::int64_t> copied = windows.SendGetText(window, first);
    if (!copied) {
        session.MarkHung(window);
        return {{}, TextReadStatus::TimedOut};
    }
    Text text = TextOf(first, *copied);
    // A text that did not fill the buffer is whole, and so is one cut short by a NUL.
    if (*copied < static_cast<std::int64_t>(kFirstReadUnits) - 1 ||
        text.size() < kFirstReadUnits - 1) {
        return {std::move(text), TextReadStatus::Read};
    }
    const std::optional<std::int64_t> length = windows.SendTextLength(window);
    if (!length) {
        session.MarkHung(window);
        return {std::move(text), TextReadStatus::TimedOut};
    }
    if (*length < static_cast<std::int64_t>(kFirstReadUnits)) {
        return {std::move(text), TextReadStatus::Read};
    }
    const bool cut = static_cast<std::uint64_t>(*length) > kTextCap;
    const std::span<char16_t> whole =
        session.Buffer(std::min(static_cast<std::size_t>(*length), kTextCap) + 1);
    const std::optional<std::int64_t> copiedWhole = windows.SendGetText(window, whole);
    if (!copiedWhole) {
        session.MarkHung(window);
        return {std::move(text), TextReadStatus::TimedOut};
    }
    return {TextOf(whole, *copiedWhole), cut ? TextReadStatus::Cut : TextReadStatus::Read};
}
