// The self-closing message window: texts, countdown, closing by itself and by OK.
#include <gtest/gtest.h>
#include <mutex>
#include <set>
#include "portlex_ctrl.h"
#include "resource.h"
#include "portlex_fixture.h"
#include "window_watcher.h"

using testing_support::DialogItemText;
using testing_support::WindowWatcher;

namespace {

const char kCaption[] = "Portlex error";

struct Seen {
    std::mutex lock;
    std::vector<std::string> countdowns;  // distinct texts of the countdown line, in order
    std::string message;
    void Record(HWND dialog) {
        std::string shown = DialogItemText(dialog, IDC_ERROR_TEXT);
        std::string text = DialogItemText(dialog, IDC_ERROR_COUNTDOWN);
        if (!shown.empty() && shown != "Error message") {
            std::lock_guard<std::mutex> guard(lock);
            message = shown;
        }
        // The window exists a moment before it fills its template's format in.
        if (text.empty() || text.find('%') != std::string::npos) return;
        std::lock_guard<std::mutex> guard(lock);
        if (countdowns.empty() || countdowns.back() != text) countdowns.push_back(text);
    }
    std::string Message() {
        std::lock_guard<std::mutex> guard(lock);
        return message;
    }
};

// Shows text with the given setting and returns how long the call blocked.
DWORD ShowAndTime(long seconds, const char* text, Seen* seen, bool pressOk = false) {
    fw::ComPtr<IUnknown> holder;
    CPortlexCtrl* control = new CPortlexCtrl();
    holder = fw::ComPtr<IUnknown>::Attach(static_cast<IDispatch*>(control));
    control->SetMessageTimer(seconds);
    bool pressed = false;
    auto look = [&](HWND dialog) {
        seen->Record(dialog);
        // OK once the window has shown its message, as a reader would.
        if (pressOk && !pressed && !seen->Message().empty()) {
            testing_support::PressButton(dialog, IDOK);
            pressed = true;
        }
    };
    WindowWatcher watcher(kCaption, look, look);
    DWORD start = GetTickCount();
    control->ShowErrorText(text);
    return GetTickCount() - start;
}

TEST(ErrorWindow, CountsDownAndClosesItselfAfterTheSetSeconds) {
    Seen seen;
    DWORD elapsed = ShowAndTime(3, "Something failed", &seen);
    EXPECT_EQ(seen.Message(), "Something failed");
    std::vector<std::string> expected = {"This message will disappear in 3 seconds",
                                         "This message will disappear in 2 seconds",
                                         "This message will disappear in 1 seconds"};
    EXPECT_EQ(seen.countdowns, expected);
    EXPECT_GE(elapsed, 2500u);
    EXPECT_LT(elapsed, 4500u);
}

TEST(ErrorWindow, OneSecondNeverShowsZero) {
    Seen seen;
    ShowAndTime(1, "x", &seen);
    ASSERT_EQ(seen.countdowns.size(), 1u);
    EXPECT_EQ(seen.countdowns[0], "This message will disappear in 1 seconds");
}

TEST(ErrorWindow, NegativeSettingShowsItsNumberAndClosesAfterOneSecond) {
    Seen seen;
    DWORD elapsed = ShowAndTime(-5, "x", &seen);
    ASSERT_EQ(seen.countdowns.size(), 1u);
    EXPECT_EQ(seen.countdowns[0], "This message will disappear in -5 seconds");
    EXPECT_LT(elapsed, 2500u);
}

TEST(ErrorWindow, OkClosesAtOnce) {
    Seen seen;
    DWORD elapsed = ShowAndTime(8, "press OK", &seen, true);
    EXPECT_EQ(seen.Message(), "press OK");
    EXPECT_LT(elapsed, 1000u);
}

TEST(ErrorWindow, ZeroShowsNothing) {
    Seen seen;
    DWORD elapsed = ShowAndTime(0, "never shown", &seen);
    EXPECT_TRUE(seen.countdowns.empty());
    EXPECT_LT(elapsed, 500u);
}

TEST(ErrorWindow, ReportsFillTheirTemplates) {
    struct Case {
        const char* name;
        std::function<void(CPortlexCtrl*)> report;
        std::string expected;
    };
    const Case cases[] = {
        {"string id", [](CPortlexCtrl* c) { c->ShowErrorId(IDS_NO_CAP32); }, "Could not load Cap32.dll !"},
        {"unknown string id", [](CPortlexCtrl* c) { c->ShowErrorId(9999); }, ""},
        {"status", [](CPortlexCtrl* c) { c->ShowErrorStatus(0x2b, "Receive"); }, "Error 0x002b in function Receive !"},
        {"socket 10054",
         [](CPortlexCtrl* c) {
             WSASetLastError(10054);
             c->ShowSocketError("recv");
         },
         "Socket error in function \"recv\" : the virtual circuit was reset by the remote side.."},
        {"socket unknown",
         [](CPortlexCtrl* c) {
             WSASetLastError(12345);
             c->ShowSocketError("send");
         },
         "Socket error in function \"send\" : error code = 12345.."},
        {"null text", [](CPortlexCtrl* c) { c->ShowErrorText(nullptr); }, ""},
    };
    for (const Case& test : cases) {
        CPortlexCtrl* control = new CPortlexCtrl();
        auto holder = fw::ComPtr<IUnknown>::Attach(static_cast<IDispatch*>(control));
        control->SetMessageTimer(1);
        testing_support::MessageWindowWatch watch;
        test.report(control);
        EXPECT_TRUE(watch.Shown()) << test.name;
        EXPECT_EQ(watch.Message(), test.expected) << test.name;
    }
}

}  // namespace
