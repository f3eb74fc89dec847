// Memory in another program, for the messages whose structures and texts must live there.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <memory>

// Memory in another program, freed with its owner (VirtualFreeEx on a program that has exited
// fails harmlessly).
class RemoteMemory {
public:
    // Bytes() is 0 when the target's memory cannot be had.
    RemoteMemory(HANDLE process, std::size_t bytes) noexcept;
    ~RemoteMemory();
    RemoteMemory(const RemoteMemory&) = delete;
    RemoteMemory& operator=(const RemoteMemory&) = delete;

    // Left to the target when this owner ends: a message that timed out is still queued there
    // and will write into this memory when its thread wakes, which must not find it freed.
    void Abandon() noexcept { m_abandoned = true; }

    [[nodiscard]] std::size_t Bytes() const noexcept { return m_bytes; }
    // The address in the target of the byte at offset.
    [[nodiscard]] std::uint64_t Address(std::size_t offset) const noexcept {
        return reinterpret_cast<std::uintptr_t>(m_base) + offset;
    }
    // False unless every byte was written (or read) within this memory.
    [[nodiscard]] bool Write(std::size_t offset, const void* data,
                             std::size_t bytes) const noexcept;
    [[nodiscard]] bool Read(std::size_t offset, void* data, std::size_t bytes) const noexcept;

private:
    HANDLE m_process;
    void* m_base;
    std::size_t m_bytes;
    bool m_abandoned = false;
};

// Memory in the target that grows to the largest size asked of it.
class RemoteRoom {
public:
    explicit RemoteRoom(HANDLE process) noexcept : m_process(process) {}

    // At least bytes of memory, or nullptr when the target's memory cannot be had.
    [[nodiscard]] const RemoteMemory* Reserve(std::size_t bytes);
    // The memory stays in the target: see RemoteMemory::Abandon.
    void Abandon() noexcept;

private:
    HANDLE m_process;
    std::unique_ptr<RemoteMemory> m_memory;
};
