// The input cut into lines.
#include "serve/LineFramer.h"

void LineFramer::Feed(std::string_view bytes, const std::function<void(const FramedLine&)>& each) {
    while (!bytes.empty()) {
        const std::size_t end = bytes.find('\n');
        const std::string_view part = bytes.substr(0, end);
        if (m_droppedBytes > 0 || m_line.size() + part.size() > m_maxLineBytes) {
            m_droppedBytes += m_line.size() + part.size();
            m_line.clear();
        } else {
            m_line += part;
        }
        if (end == std::string_view::npos) {
            return;
        }
        bytes.remove_prefix(end + 1);
        FramedLine line;
        if (m_droppedBytes > 0) {
            line.overLong = true;
            line.bytes = m_droppedBytes;
        } else {
            line.text = m_line;
            line.bytes = m_line.size();
            if (line.text.ends_with('\r')) {
                line.text.remove_suffix(1);
            }
        }
        each(line);
        m_line.clear();
        m_droppedBytes = 0;
    }
}
