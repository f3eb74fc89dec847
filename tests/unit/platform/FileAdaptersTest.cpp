// The adapters' file pieces on the real file system: whole writes across their pieces, reads
// that refuse what is too large, the file owner's moves, and what the ANSI code page cannot hold.
#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "core/Failure.h"
#include "win32/AnsiCodePage.h"
#include "win32/HandleWrites.h"
#include "win32/ScopedHandles.h"
#include "win32/Win32Files.h"
#include "win32/Win32SaveFiles.h"

namespace {

class FileAdapters : public ::testing::Test {
protected:
    void TearDown() override { std::filesystem::remove(m_path); }

    [[nodiscard]] ScopedFile Create() const {
        return ScopedFile(CreateFileW(m_path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
    }
    [[nodiscard]] Text PathText() const { return Text(m_path.u16string()); }

    std::filesystem::path m_path = std::filesystem::temp_directory_path() / L"adapters-test.bin";
};

TEST_F(FileAdapters, WholeWritesCrossTheirPiecesAndReadsRefuseWhatIsTooLarge) {
    // Two whole pieces and a part, each byte telling its place.
    std::string bytes(2 * kWriteChunkUnits + 3, '\0');
    for (std::size_t at = 0; at < bytes.size(); ++at) {
        bytes[at] = static_cast<char>(at % 251);
    }
    {
        const ScopedFile file = Create();
        ASSERT_TRUE(file.Valid());
        EXPECT_EQ(WriteWhole(file.Get(), bytes), static_cast<DWORD>(ERROR_SUCCESS));
    }
    EXPECT_EQ(std::filesystem::file_size(m_path), bytes.size());
    Win32Files files;
    // Two megabytes and three bytes: more than two megabytes.
    EXPECT_THROW(static_cast<void>(files.ReadFile(PathText(), 2)), Failure);
    EXPECT_EQ(files.ReadFile(PathText(), 3), bytes);

    {
        const ScopedFile file = Create();
        EXPECT_EQ(WriteWhole(file.Get(), std::string_view(bytes).substr(0, 1000)),
                  static_cast<DWORD>(ERROR_SUCCESS));
    }
    EXPECT_EQ(files.ReadFile(PathText(), 1), bytes.substr(0, 1000));
}

TEST_F(FileAdapters, OneFileUnderTwoSpellingsIsTheSameAndAFolderIsNoPlaceToSave) {
    ASSERT_TRUE(Create().Valid());
    const std::filesystem::path folder = m_path.parent_path();
    const Text otherSpelling = Text((folder / L"." / L"ADAPTERS-TEST.BIN").u16string());
    Win32Files files;
    EXPECT_TRUE(files.SameFile(PathText(), otherSpelling));
    EXPECT_FALSE(files.SameFile(PathText(), Text((folder / L"elsewhere.bin").u16string())));
    EXPECT_FALSE(files.SameFile(u"", u""));
    Win32SaveFiles saves;
    try {
        static_cast<void>(saves.Open(Text(folder.u16string())));
        ADD_FAILURE() << "a folder was opened to save in";
    } catch (const Failure& failure) {
        EXPECT_NE(failure.Description().find(u"is a folder"), Text::npos);
    }
}

TEST_F(FileAdapters, AMovedFileOwnerClosesItsHandleOnceWhereItEnds) {
    ScopedFile first = Create();
    const HANDLE handle = first.Get();
    ScopedFile second(std::move(first));
    EXPECT_FALSE(first.Valid());
    EXPECT_EQ(second.Get(), handle);
    // Moved over, second closes the handle it held.
    second = ScopedFile();
    DWORD flags = 0;
    EXPECT_FALSE(GetHandleInformation(handle, &flags));
}

TEST(AnsiCodePageTest, CountsTheCharactersItCannotHoldAPairAsOne) {
    const AnsiCodePage codePage;
    struct Case {
        const char16_t* text;
        std::size_t unwritable;
    } const cases[] = {
        {u"plain ASCII", 0},
        {u"\u6F22\u5B57", 2},       // CJK, beyond any single-byte code page
        {u"a\U0001F600b", 1},       // one character outside the BMP, two code units
        {u"\xD800 and \xDC00", 2},  // lone halves of a pair
    };
    if (GetACP() != 1252) {
        GTEST_SKIP() << "the cases are of code page 1252";
    }
    for (const Case& c : cases) {
        EXPECT_EQ(codePage.CountUnwritable(Text(c.text)), c.unwritable) << "case " << &c - cases;
    }
}

}  // namespace
