// Standard output and error, to a console or to a file or pipe.
#include "win32/Win32Console.h"

#include <algorithm>

#include "core/Failure.h"
#include "win32/HandleWrites.h"
#include "win32/Win32Text.h"

namespace {

// A console narrower than this has help wrapped as for a file: a line so short helps nobody.
constexpr int kNarrowestText = 40;

// A UTF-8 character has at most this many bytes.
constexpr std::size_t kMaxSequenceBytes = 4;

// UTF-8's bytes after the first of a character are 10xxxxxx; a first byte from 11000000 on
// starts a character of two bytes, from 11100000 of three, from 11110000 of four.
constexpr unsigned char kContinuationMask = 0xC0;
constexpr unsigned char kContinuationBits = 0x80;
constexpr unsigned char kLeadOfTwo = 0xC0;
constexpr unsigned char kLeadOfThree = 0xE0;
constexpr unsigned char kLeadOfFour = 0xF0;

bool IsContinuation(char unit) noexcept {
    return (static_cast<unsigned char>(unit) & kContinuationMask) == kContinuationBits;
}

std::size_t SequenceLength(char lead) noexcept {
    const auto byte = static_cast<unsigned char>(lead);
    return byte >= kLeadOfFour ? 4 : byte >= kLeadOfThree ? 3 : byte >= kLeadOfTwo ? 2 : 1;
}

// Where the bytes' last character starts when its last bytes have not come yet; bytes.size()
// when they end with a whole character.
std::size_t WholeCharactersEnd(std::string_view bytes) noexcept {
    const std::size_t lowest =
        bytes.size() > kMaxSequenceBytes ? bytes.size() - kMaxSequenceBytes : 0;
    for (std::size_t start = bytes.size(); start > lowest; --start) {
        if (!IsContinuation(bytes[start - 1])) {
            const std::size_t lead = start - 1;
            return lead + SequenceLength(bytes[lead]) > bytes.size() ? lead : bytes.size();
        }
    }
    return bytes.size();
}

DWORD WriteText(HANDLE handle, std::string_view bytes) {
    const Text text = Utf8ToText(bytes);
    std::size_t shown = 0;
    while (shown < text.size()) {
        const auto chunk = static_cast<DWORD>(std::min(text.size() - shown, kWriteChunkUnits));
        DWORD written = 0;
        const BOOL done = WriteConsoleW(handle, text.data() + shown, chunk, &written, nullptr);
        if (const DWORD error = WriteError(done, written); error != ERROR_SUCCESS) {
            return error;
        }
        shown += written;
    }
    return ERROR_SUCCESS;
}

// The errors of a write to a pipe whose reader has closed its end: Windows answers the first two,
// Wine ERROR_PIPE_NOT_CONNECTED when the pipe is one of the host's.
bool ReaderGone(DWORD error) noexcept {
    return error == ERROR_BROKEN_PIPE || error == ERROR_NO_DATA ||
           error == ERROR_PIPE_NOT_CONNECTED;
}

}  // namespace

Win32Console::Win32Console() noexcept
    : m_out(Open(STD_OUTPUT_HANDLE)), m_error(Open(STD_ERROR_HANDLE)) {}

std::size_t Win32Console::TextWidth() const noexcept {
    CONSOLE_SCREEN_BUFFER_INFO screen{};
    if (!m_out.console || GetConsoleScreenBufferInfo(m_out.handle, &screen) == FALSE) {
        return kDefaultTextWidth;
    }
    // A line as wide as the window would move the cursor to a line of its own, left empty.
    const int columns = screen.srWindow.Right - screen.srWindow.Left;
    return columns >= kNarrowestText ? static_cast<std::size_t>(columns) : kDefaultTextWidth;
}

Win32Console::Stream Win32Console::Open(DWORD which) noexcept {
    Stream stream;
    stream.handle = GetStdHandle(which);
    DWORD mode = 0;
    stream.console = stream.handle != nullptr && stream.handle != INVALID_HANDLE_VALUE &&
                     GetConsoleMode(stream.handle, &mode) != FALSE;
    return stream;
}

DWORD Win32Console::Write(Stream& stream, std::string_view utf8) {
    if (stream.handle == nullptr || stream.handle == INVALID_HANDLE_VALUE) {
        // Started without this stream: there is nobody to read it.
        return ERROR_SUCCESS;
    }
    if (!stream.console) {
        return WriteWhole(stream.handle, utf8);
    }
    // A character cut between two writes is shown once it is whole.
    std::string bytes = std::move(stream.partial) + std::string(utf8);
    const std::size_t end = WholeCharactersEnd(bytes);
    stream.partial = bytes.substr(end);
    bytes.resize(end);
    return WriteText(stream.handle, bytes);
}

void Win32Console::Out(std::string_view utf8) {
    const DWORD error = Write(m_out, utf8);
    if (ReaderGone(error)) {
        throw OutputClosed(u"The output's reader has gone: " + SystemMessage(error));
    }
    if (error != ERROR_SUCCESS) {
        throw Failure(u"The output could not be written: " + SystemMessage(error));
    }
}

void Win32Console::Error(std::string_view utf8) noexcept {
    try {
        static_cast<void>(Write(m_error, utf8));
    } catch (...) {
        // This tells every other failure and may not fail itself: nothing is left to tell it with.
    }
}
