// One copy per program folder: the lock, the window it names and the starts
// that find it held, each in a fresh folder.
#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <memory>
#include <string>

#include "app/InstanceLock.h"
#include "app/TrayController.h"
#include "desktop/Utf.h"
#include "forms/Form.h"
#include "KitTestSupport.h"

namespace tav {
namespace {

using State = InstanceLock::State;

const UINT kRequest = RegisterWindowMessageW(L"TavelinLockTestRequest");

// A tray window as the running copy has one, of the same class; it counts
// the requests it gets and answers them with onRequest.
class TrayStandIn : public Form {
public:
    TrayStandIn() : Form(kTrayWindowClass) { create(); }
    ~TrayStandIn() override { destroy(); }
    int requests = 0;
    WPARAM lastFolderId = 0;
    std::function<LRESULT()> onRequest = [] { return 1; };

protected:
    bool handleMessage(UINT msg, WPARAM wParam, LPARAM, LRESULT& result) override {
        if (msg != kRequest) return false;
        ++requests;
        lastFolderId = wParam;
        result = onRequest();
        return true;
    }
};

TEST(InstanceLock, ASecondStartThroughAnotherPathAsksOnlyTheWindowOfTheCopyThatRuns) {
    const test::TempFolder folder("lock_folder");
    const std::string& dir = folder.path();
    // The same folder under its short name and with forward slashes.
    wchar_t shortName[MAX_PATH] = {};
    ASSERT_NE(0u, GetShortPathNameW(widen(dir).c_str(), shortName, MAX_PATH));
    std::string alias = narrow(shortName);
    ASSERT_NE(alias, dir);
    for (char& c : alias) c = c == '\\' ? '/' : c;

    TrayStandIn running, otherTray;
    InstanceLock first(dir, kRequest);
    ASSERT_EQ(State::Ours, first.state());
    first.publish(running.handle());

    InstanceLock second(alias, kRequest);
    EXPECT_EQ(State::Running, second.state());
    EXPECT_EQ(1, running.requests);
    EXPECT_EQ(folderIdentity(dir)->id(), running.lastFolderId);
    EXPECT_EQ(0, otherTray.requests) << "a window of the same class that the lock does not name";
}

TEST(InstanceLock, AHolderThatGoesWhileAskedLeavesTheFolderToTheNewStart) {
    const test::TempFolder folder("lock_folder");
    const std::string& dir = folder.path();
    auto first = std::make_unique<InstanceLock>(dir, kRequest);
    ASSERT_EQ(State::Ours, first->state());
    TrayStandIn ending;
    first->publish(ending.handle());
    // A copy on its way out refuses the request and ends a moment later.
    ending.onRequest = [&] {
        first.reset();
        return 0;
    };
    InstanceLock second(dir, kRequest);
    EXPECT_EQ(1, ending.requests);
    EXPECT_EQ(State::Ours, second.state());
}

TEST(InstanceLock, AHolderThatNeverAnswersIsNamedAfterWaiting) {
    const test::TempFolder folder("lock_folder");
    const std::string& dir = folder.path();
    InstanceLock first(dir, kRequest);
    ASSERT_EQ(State::Ours, first.state());
    // No window published: a copy that hangs before it has one.
    InstanceLock second(dir, kRequest, 300);
    EXPECT_EQ(State::NotAnswering, second.state());
}

TEST(InstanceLock, ALockThatCannotBeMadeIsTold) {
    const test::TempFolder folder("lock_folder");
    const std::string& dir = folder.path();
    CreateDirectoryW(widen(dir + "Tavelin.lock").c_str(), nullptr);
    EXPECT_EQ(State::Failed, InstanceLock(dir, kRequest).state());
    // Not even an administrator may create files here: nothing could be
    // saved there, so the copy may run and say so itself.
    EXPECT_EQ(State::ReadOnly, InstanceLock("Z:\\sys\\", kRequest).state());
}

}  // namespace
}  // namespace tav
