// Memory in another program, through VirtualAllocEx and Read/WriteProcessMemory.
#include "win32/RemoteMemory.h"

RemoteMemory::RemoteMemory(HANDLE process, std::size_t bytes) noexcept
    : m_process(process),
      m_base(VirtualAllocEx(process, nullptr, bytes, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE)),
      m_bytes(m_base != nullptr ? bytes : 0) {}

RemoteMemory::~RemoteMemory() {
    if (m_base != nullptr && !m_abandoned) {
        VirtualFreeEx(m_process, m_base, 0, MEM_RELEASE);
    }
}

bool RemoteMemory::Write(std::size_t offset, const void* data, std::size_t bytes) const noexcept {
    SIZE_T done = 0;
    return offset + bytes <= m_bytes &&
           WriteProcessMemory(m_process, static_cast<char*>(m_base) + offset, data, bytes, &done) !=
               FALSE &&
           done == bytes;
}

bool RemoteMemory::Read(std::size_t offset, void* data, std::size_t bytes) const noexcept {
    SIZE_T done = 0;
    return offset + bytes <= m_bytes &&
           ReadProcessMemory(m_process, static_cast<const char*>(m_base) + offset, data, bytes,
                             &done) != FALSE &&
           done == bytes;
}

const RemoteMemory* RemoteRoom::Reserve(std::size_t bytes) {
    if (!m_memory || m_memory->Bytes() < bytes) {
        m_memory.reset();
        m_memory = std::make_unique<RemoteMemory>(m_process, bytes);
    }
    return m_memory->Bytes() >= bytes ? m_memory.get() : nullptr;
}

void RemoteRoom::Abandon() noexcept {
    if (m_memory) {
        m_memory->Abandon();
    }
}
