#include <gtest/gtest.h>

#include "framework/errors/Exceptions.h"

TEST(IOCheck, TurnsPendingCodeIntoEInOutErrorAndResetsIt) {
    SetIOResult(32);
    try {
        IOCheck(L"C:\\x\\game.dat");
        FAIL() << "no error raised";
    } catch (const EInOutError& e) {
        EXPECT_EQ(e.ErrorCode(), 32);
        EXPECT_EQ(e.Message(), L"I/O error 32");
    }
    EXPECT_NO_THROW(IOCheck(L"x")) << "the code was not reset";
}
