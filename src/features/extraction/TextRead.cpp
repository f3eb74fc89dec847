// The window text read.
#include "extraction/TextRead.h"

#include <algorithm>
#include <optional>

bool TextReadSession::IsHung(WindowHandle window) {
    return !m_hungThreads.empty() && m_hungThreads.contains(m_windows.ThreadOf(window));
}

void TextReadSession::MarkHung(WindowHandle window) {
    m_hungThreads.insert(m_windows.ThreadOf(window));
}

Text ReadWindowText(WindowHandle window, TextReadSession& session) {
    if (window == 0 || session.IsHung(window)) {
        return {};
    }
    const std::optional<std::int64_t> length = session.Windows().SendTextLength(window);
    if (!length) {
        session.MarkHung(window);
        return {};
    }
    if (*length <= 0) {
        return {};
    }
    // The buffer comes from the first answer; a text that grew since is cut to it, and an
    // answer beyond the buffer is never believed.
    const std::int64_t capacity = std::min(*length, kMaxTextLength) + 1;
    Text text(static_cast<std::size_t>(capacity), u'\0');
    const std::optional<std::int64_t> copied = session.Windows().SendGetText(window, text);
    if (!copied) {
        session.MarkHung(window);
        return {};
    }
    text.resize(static_cast<std::size_t>(std::clamp<std::int64_t>(*copied, 0, capacity - 1)));
    return text;
}
