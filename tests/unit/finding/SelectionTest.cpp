// Naming a window: handles and process ids read from arguments, handles written in hexadecimal,
// and the exit code of a selection by how many windows it matched.
#include <gtest/gtest.h>

#include "core/ExitCodes.h"
#include "finding/HandleText.h"
#include "finding/Selection.h"

TEST(HandleArgument, TakesSignedDecimalAndAll32BitsInHexadecimal) {
    EXPECT_EQ(ParseHandleArgument("65620"), 65620);
    EXPECT_EQ(ParseHandleArgument("0x10054"), 0x10054);
    EXPECT_EQ(ParseHandleArgument("0X1a2B"), 0x1A2B);
    // As the window list prints a handle with its top bit set, and as the system writes it.
    EXPECT_EQ(ParseHandleArgument("-2147483000"), -2147483000);
    EXPECT_EQ(ParseHandleArgument("0x80000288"), -2147483000);
    EXPECT_EQ(ParseHandleArgument("0xFFFFFFFF"), -1);
    EXPECT_EQ(ParseHandleArgument("2147483647"), 2147483647);
    for (const char* wrong : {"", "0x", "12a", "0x1G", "2147483648", "-2147483649", "0x100000000",
                              "0x-5", "+-1", " 12", "12 ", "1e3"}) {
        EXPECT_FALSE(ParseHandleArgument(wrong).has_value()) << wrong;
    }
}

TEST(ProcessIdArgument, TakesUnsigned32BitsInDecimalOrHexadecimal) {
    EXPECT_EQ(ParseProcessIdArgument("4242"), 4242u);
    EXPECT_EQ(ParseProcessIdArgument("0x20"), 32u);
    EXPECT_EQ(ParseProcessIdArgument("4294967295"), 4294967295u);
    for (const char* wrong : {"", "-1", "4294967296", "pid", "0x"}) {
        EXPECT_FALSE(ParseProcessIdArgument(wrong).has_value()) << wrong;
    }
}

TEST(HexHandle, GivesAll32BitsInEightUpperCaseDigits) {
    EXPECT_EQ(HexHandle(0x10054), "0x00010054");
    EXPECT_EQ(HexHandle(0), "0x00000000");
    EXPECT_EQ(HexHandle(-1), "0xFFFFFFFF");
    EXPECT_EQ(HexHandle(0x7FFFABCD), "0x7FFFABCD");
}

TEST(ExitCodes, SelectionNeedsOneMatchOrFirst) {
    EXPECT_EQ(SelectionExitCode(0, false), ExitCode::kNoMatch);
    EXPECT_EQ(SelectionExitCode(0, true), ExitCode::kNoMatch);
    EXPECT_EQ(SelectionExitCode(1, false), ExitCode::kDone);
    EXPECT_EQ(SelectionExitCode(2, false), ExitCode::kManyMatches);
    EXPECT_EQ(SelectionExitCode(2, true), ExitCode::kDone);
}

TEST(PointArgument, TakesTwoWholeNumbersInDecimalAsXComma) {
    const struct {
        const char* text;
        std::optional<ScreenPoint> point;
    } cases[] = {
        {"640,360", ScreenPoint{640, 360}},
        {"-1280,40", ScreenPoint{-1280, 40}},
        {"0,-2147483648", ScreenPoint{0, INT32_MIN}},
        {"", std::nullopt},
        {"640", std::nullopt},
        {"640,", std::nullopt},
        {",360", std::nullopt},
        {"640,360,1", std::nullopt},
        {"640 360", std::nullopt},
        {"640, 360", std::nullopt},
        {"0x10,5", std::nullopt},
        {"5,0x10", std::nullopt},
        {"2147483648,0", std::nullopt},
        {"a,b", std::nullopt},
    };
    for (const auto& [text, point] : cases) {
        EXPECT_EQ(ParsePointArgument(text), point) << text;
    }
}
