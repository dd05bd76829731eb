// A registered Portlex control created by ProgID on the test's thread, as a script host
// makes it, with late-bound calls and a watch on its message window.
#pragma once
#include <gtest/gtest.h>
#include <memory>
#include <mutex>
#include "com_test_env.h"
#include "window_watcher.h"

namespace testing_support {

// Keeps the last text the message window showed, read while the window is up.
class MessageWindowWatch {
public:
    MessageWindowWatch();
    std::string Message();
    bool Shown();

private:
    void Read(HWND dialog);
    std::mutex lock_;
    std::string message_;
    bool shown_ = false;
    std::unique_ptr<WindowWatcher> watcher_;
};

class PortlexFixture : public ::testing::Test {
protected:
    void SetUp() override;
    // Calls a method and returns its long result (0x7fffffff when it returned none).
    long Call(const wchar_t* name, std::vector<VARIANT> args = {});
    // Calls a method while watching the message window; message gets what it showed.
    long CallWatching(const wchar_t* name, std::vector<VARIANT> args, std::string* message);

    ComApartment apartment_;
    fw::ComPtr<IDispatch> control_;
};

}  // namespace testing_support
