// The command's document on its way out.
#include "documents/Output.h"

#include "core/Failure.h"
#include "core/Steps.h"

namespace {

// Bytes gathered before they are handed on.
constexpr std::size_t kBlockBytes = std::size_t{1} << 16;

}  // namespace

Output::Output(Console& console, SaveFiles& files, const Text& path)
    : m_console(console), m_file(path.empty() ? nullptr : files.Open(path)) {
    m_pending.reserve(kBlockBytes);
}

void Output::Write(std::string_view bytes) {
    if (Failed()) {
        return;
    }
    m_pending += bytes;
    if (m_pending.size() >= kBlockBytes) {
        Flush();
    }
}

void Output::Flush() {
    try {
        if (m_file) {
            m_file->Write(m_pending);
        } else {
            m_console.Out(m_pending);
        }
    } catch (const OutputClosed&) {
        m_readerGone = true;
    } catch (...) {
        m_failure = DescribeFailure(std::current_exception());
    }
    m_pending.clear();
}

void Output::Finish() {
    if (!Failed()) {
        Flush();
    }
    if (!Failed() && m_file) {
        m_file->Commit();
    }
    if (!m_failure.empty()) {
        throw Failure(m_failure);
    }
}
