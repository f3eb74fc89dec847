// The adapters' reading of the errors that a refused message or a refused opening of a program
// leave: only a refusal for access is taken for a program running with higher rights.
#include <windows.h>

#include <gtest/gtest.h>

#include "win32/Win32RemoteItems.h"
#include "win32/Win32WindowSystem.h"

TEST(DeniedEnds, AMessageRefusedForAccessIsDeniedWhateverElseIsTimedOutOrGone) {
    struct Case {
        DWORD error;
        bool windowExists;
        RemoteEnd end;
    };
    const Case cases[]{{ERROR_ACCESS_DENIED, true, RemoteEnd::Denied},
                       {ERROR_ACCESS_DENIED, false, RemoteEnd::Denied},
                       {ERROR_TIMEOUT, true, RemoteEnd::TimedOut},
                       {ERROR_SUCCESS, true, RemoteEnd::TimedOut},
                       {ERROR_TIMEOUT, false, RemoteEnd::Gone},
                       {ERROR_INVALID_WINDOW_HANDLE, false, RemoteEnd::Gone}};
    for (const Case& test : cases) {
        EXPECT_EQ(UnansweredEnd(test.error, test.windowExists), test.end)
            << test.error << " " << test.windowExists;
    }
}

TEST(DeniedEnds, AProgramThatCannotBeOpenedForAccessIsDeniedOtherwiseGone) {
    EXPECT_EQ(UnopenedEnd(ERROR_ACCESS_DENIED), RemoteEnd::Denied);
    EXPECT_EQ(UnopenedEnd(ERROR_INVALID_PARAMETER), RemoteEnd::Gone);
    EXPECT_EQ(UnopenedEnd(ERROR_SUCCESS), RemoteEnd::Gone);
}
