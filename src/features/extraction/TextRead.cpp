// The window text read.
#include "extraction/TextRead.h"

#include <algorithm>
#include <optional>

namespace {

// What one WM_GETTEXT left in its buffer.
struct BufferRead {
    Text text;
    // The window answered a count beyond its text's first NUL, or below zero: it claims what
    // the text does not hold, whether it wrote less or the units past a NUL.
    bool overclaimed = false;
    // Anything but Answered: the window did not answer, and text is empty.
    RemoteEnd end = RemoteEnd::Answered;
};

// Sends WM_GETTEXT into buffer, emptied first so that nothing of an earlier read can show: the
// text is what the window wrote, up to its first NUL within the count it answered, kept within
// the buffer.
BufferRead ReadInto(WindowSystem& windows, WindowHandle window, std::span<char16_t> buffer) {
    std::fill(buffer.begin(), buffer.end(), u'\0');
    const RemoteNumber copied = windows.SendGetText(window, buffer);
    if (copied.end != RemoteEnd::Answered) {
        return BufferRead{{}, false, copied.end};
    }
    const auto believed = static_cast<std::ptrdiff_t>(
        std::clamp<std::int64_t>(copied.value, 0, static_cast<std::int64_t>(buffer.size()) - 1));
    const auto claimedEnd = buffer.begin() + believed;
    const auto end = std::find(buffer.begin(), claimedEnd, u'\0');
    return BufferRead{Text(buffer.begin(), end), end != claimedEnd || copied.value < 0};
}

// The text so far of a window that left a message unanswered: refused by the system, or not
// answered in time, when its thread is not asked again during the walk.
WindowText Unanswered(RemoteEnd end, Text text, WindowHandle window, TextReadSession& session) {
    if (end == RemoteEnd::Denied) {
        return WindowText{std::move(text), TextReadStatus::Denied};
    }
    session.MarkHung(window);
    return WindowText{std::move(text), TextReadStatus::TimedOut};
}

TextReadStatus StatusOf(const BufferRead& read, bool cut) {
    return cut || read.overclaimed ? TextReadStatus::Cut : TextReadStatus::Read;
}

// One attempt at the whole text. Nothing when the text changed between its messages (the
// length asked is shorter than the first read, the whole read fills the unit left for a text
// that grew, or it comes back shorter than the first read); last then holds what came.
std::optional<WindowText> ReadOnce(WindowHandle window, TextReadSession& session, Text& last) {
    WindowSystem& windows = session.Windows();
    BufferRead first = ReadInto(windows, window, session.Buffer(kFirstReadUnits));
    if (first.end != RemoteEnd::Answered) {
        return Unanswered(first.end, {}, window, session);
    }
    // A text that did not fill the buffer is whole, and so is one cut short by a NUL.
    if (first.text.size() < kFirstReadUnits - 1) {
        return WindowText{std::move(first.text), StatusOf(first, false)};
    }
    const RemoteNumber length = windows.SendTextLength(window);
    if (length.end != RemoteEnd::Answered) {
        return Unanswered(length.end, std::move(first.text), window, session);
    }
    // No text has a length below zero: the window alone is at fault, and what it wrote is kept.
    if (length.value < 0) {
        return WindowText{std::move(first.text), TextReadStatus::Cut};
    }
    if (length.value == static_cast<std::int64_t>(kFirstReadUnits) - 1) {
        return WindowText{std::move(first.text), TextReadStatus::Read};
    }
    if (length.value < static_cast<std::int64_t>(kFirstReadUnits) - 1) {
        last = std::move(first.text);
        return std::nullopt;
    }
    const bool cut = static_cast<std::uint64_t>(length.value) > kTextCap;
    // Beyond the cap the buffer is expected to fill; below it, one unit more than the length lets
    // a text that grew since show that it did.
    const std::size_t units = cut ? kTextCap + 1 : static_cast<std::size_t>(length.value) + 2;
    BufferRead whole = ReadInto(windows, window, session.Buffer(units));
    if (whole.end != RemoteEnd::Answered) {
        return Unanswered(whole.end, std::move(first.text), window, session);
    }
    if (whole.text.size() < kFirstReadUnits - 1 || (!cut && whole.text.size() == units - 1)) {
        last = std::move(whole.text);
        return std::nullopt;
    }
    return WindowText{std::move(whole.text), StatusOf(whole, cut)};
}

}  // namespace

bool TextReadSession::IsHung(WindowHandle window) {
    return !m_hungThreads.empty() && m_hungThreads.contains(m_windows.ThreadOf(window));
}

void TextReadSession::MarkHung(WindowHandle window) {
    m_hungThreads.insert(m_windows.ThreadOf(window));
    m_unansweredWindows.insert(window);
}

bool TextReadSession::AloneAtFault(WindowHandle window) {
    if (!m_windows.AnswersInTime(window)) {
        return false;
    }
    const std::uint32_t thread = m_windows.ThreadOf(window);
    m_hungThreads.erase(thread);
    m_probedThreads.erase(thread);
    return true;
}

bool TextReadSession::AnswersAgain(WindowHandle window) {
    const std::uint32_t thread = m_windows.ThreadOf(window);
    if (!m_hungThreads.contains(thread)) {
        return true;
    }
    if (!m_probedThreads.insert(thread).second || !m_windows.AnswersInTime(window)) {
        return false;
    }
    m_hungThreads.erase(thread);
    return true;
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
    Text last;
    for (int attempt = 0; attempt < kTextReadAttempts; ++attempt) {
        if (std::optional<WindowText> read = ReadOnce(window, session, last)) {
            return std::move(*read);
        }
    }
    return {std::move(last), TextReadStatus::Changing};
}
