// The GUI tests run inside the real event loop of a wx application.
#include <gtest/gtest.h>

#include "HtmlViewFixture.h"
#include "RQGuiHarness.h"

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    // Listing the tests (CTest does it at build time) needs no display.
    if (::testing::GTEST_FLAG(list_tests)) return RUN_ALL_TESTS();
    return RQGuiHarness::RunInEventLoop(argc, argv, [] {
        int result = RUN_ALL_TESTS();
        HtmlViewTest::CloseWindow();
        return result;
    });
}
