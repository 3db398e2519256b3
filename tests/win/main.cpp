#include <windows.h>
// commctrl.h and ole2.h need the types of windows.h.
#include <commctrl.h>
#include <gtest/gtest.h>
#include <ole2.h>

#include <cstring>

#include "KitTestSupport.h"

// The program's start-up does the same: tool bars and tips need the common
// controls registered, the rich-text control's objects need OLE.
int main(int argc, char** argv) {
    if (argc > 1 && std::strcmp(argv[1], tav::test::kHoldOpenSwitch) == 0)
        return argc == 5 ? tav::test::holdOpen(argv[2], argv[3], argv[4]) : 2;
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES | ICC_BAR_CLASSES};
    InitCommonControlsEx(&icc);
    OleInitialize(nullptr);
    ::testing::InitGoogleTest(&argc, argv);
    const int result = RUN_ALL_TESTS();
    OleUninitialize();
    return result;
}
