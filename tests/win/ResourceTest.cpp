#include <windows.h>

#include <gtest/gtest.h>

#include "resource.h"

// The resources are compiled as UTF-8: a German string must come back intact.
TEST(Resources, UmlautStringSurvivesTheResourceCompiler) {
    wchar_t buf[64] = {};
    ASSERT_GT(LoadStringW(GetModuleHandleW(nullptr), IDS_UMLAUT_PROBE, buf, 64), 0);
    EXPECT_STREQ(L"Notiz l\u00f6schen", buf);
}
