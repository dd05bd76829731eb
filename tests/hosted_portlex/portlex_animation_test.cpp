// The Portlex picture while a service is open: each repaint shows the next activity frame,
// 302, 303, 304, 305, 304, 303 and again; Close brings the idle icon back. Open("Winsock")
// needs no network traffic, so it opens the animation without a peer.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>
#include "capture.h"
#include "com_test_env.h"
#include "framework/bstr.h"
#include "icon_pictures.h"
#include "test_container.h"

namespace {

using hosted::kIconSize;

const UINT kCycle[] = {302, 303, 304, 305, 304, 303};
const int kCycleLength = 6;
const UINT kIconIds[] = {hosted::kIdleIcon, 302, 303, 304, 305};

// A method of the control called by name, as a script host does; its long result.
long Call(IUnknown* control, const wchar_t* name, std::vector<VARIANT> args = {}) {
    fw::ComPtr<IDispatch> dispatch;
    EXPECT_EQ(S_OK, control->QueryInterface(IID_IDispatch, dispatch.OutVoid()));
    if (!dispatch) return 0x7fffffff;
    fw::Variant result;
    EXPECT_EQ(S_OK, testing_support::CallByName(dispatch.Get(), name, DISPATCH_METHOD, std::move(args), &result));
    return result.vt == VT_I4 ? result.lVal : 0x7fffffff;
}

std::string SequenceText(const std::vector<UINT>& ids) {
    std::string text;
    for (UINT id : ids) text += (text.empty() ? "" : ",") + std::to_string(id);
    return text;
}

BOOL CALLBACK AddOwnWindow(HWND window, LPARAM found) {
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process == GetCurrentProcessId()) reinterpret_cast<std::set<HWND>*>(found)->insert(window);
    return TRUE;
}

// Top-level windows of this process, visible or not.
std::set<HWND> ProcessWindows() {
    std::set<HWND> windows;
    EnumWindows(AddOwnWindow, reinterpret_cast<LPARAM>(&windows));
    return windows;
}

std::string WindowText(const std::set<HWND>& windows) {
    std::string text;
    for (HWND window : windows) {
        char className[64] = {}, caption[64] = {};
        GetClassNameA(window, className, sizeof className);
        GetWindowTextA(window, caption, sizeof caption);
        text += std::string(" [") + className + " \"" + caption + "\"" + (IsWindowVisible(window) ? " visible]" : "]");
    }
    return text;
}

class PortlexAnimation : public ::testing::Test {
protected:
    void SetUp() override {
        const std::wstring module = hosted::RegisteredServerPath(hosted::kPortlexClsid);
        ASSERT_FALSE(module.empty()) << "Portlex.ocx is not registered";
        for (UINT id : kIconIds) {
            std::string why;
            icons_[id] = hosted::ReferenceIcon(module, id, hosted::WindowColour(), &why);
            ASSERT_FALSE(icons_[id].Empty()) << why;
        }
        // Every picture must name one icon only.
        for (UINT a : kIconIds) {
            for (UINT b : kIconIds) {
                if (a >= b) continue;
                ASSERT_GT(hosted::CountDifferent(icons_[a], icons_[b]), 0) << a << " and " << b;
            }
        }

        ASSERT_EQ(S_OK, box_.Create(hosted::kPortlexProgId, {kIconSize, kIconSize})) << box_.LastError();
        box_.PumpMessages(100);
        // No timed message window may wait for a click while nothing pumps.
        Call(box_.Control(), L"SetMessageTimer", {testing_support::LongArg(0)});
    }

    // The icon the picture shows; 0 when it is none of them.
    UINT Identify(const tc::Pixels& picture) {
        for (UINT id : kIconIds)
            if (hosted::CountDifferent(icons_[id], picture) == 0) return id;
        return 0;
    }

    UINT DrawnIcon() {
        HRESULT hr = E_FAIL;
        const tc::Pixels drawn = tc::DrawWithViewObject(box_.Control(), {kIconSize, kIconSize}, &hr);
        EXPECT_EQ(S_OK, hr);
        return Identify(drawn);
    }

    UINT WindowIcon() {
        HWND window = box_.ControlWindow();
        EXPECT_NE(nullptr, window);
        return window ? Identify(tc::CaptureWindow(window)) : 0;
    }

    long Open() { return Call(box_.Control(), L"Open", {testing_support::StringArg("Winsock")}); }
    long Close() { return Call(box_.Control(), L"Close"); }

    std::map<UINT, tc::Pixels> icons_;
    tc::TestContainer box_;
};

TEST_F(PortlexAnimation, EachDrawShowsTheNextFrameUntilClose) {
    EXPECT_EQ(hosted::kIdleIcon, DrawnIcon());
    const std::set<HWND> before = ProcessWindows();
    ASSERT_EQ(0, Open());
    // The terminal window came with the service (hidden or not): Close must take it away.
    EXPECT_GT(ProcessWindows().size(), before.size()) << "open:" << WindowText(ProcessWindows());

    // No messages are pumped between the draws, so the window's own timer repaint cannot
    // take a frame in between: the draws see consecutive frames.
    std::vector<UINT> seen;
    for (int i = 0; i < 1 + 2 * kCycleLength; ++i) seen.push_back(DrawnIcon());
    bool follows = false;
    for (int start = 0; start < kCycleLength && !follows; ++start) {
        follows = true;
        for (size_t i = 0; i < seen.size(); ++i) follows = follows && seen[i] == kCycle[(start + i) % kCycleLength];
    }
    EXPECT_TRUE(follows) << "frames drawn: " << SequenceText(seen);

    EXPECT_EQ(0, Close());
    EXPECT_EQ(hosted::kIdleIcon, DrawnIcon());
    EXPECT_EQ(hosted::kIdleIcon, DrawnIcon());
    box_.PumpMessages(100);
    std::set<HWND> left;
    for (HWND window : ProcessWindows())
        if (!before.count(window)) left.insert(window);
    EXPECT_TRUE(left.empty()) << "windows left after Close:" << WindowText(left);
}

TEST_F(PortlexAnimation, WindowAnimatesWhileOpen) {
    ASSERT_EQ(0, Open());
    box_.PumpMessages(1200);
    const UINT first = WindowIcon();
    box_.PumpMessages(600);
    const UINT second = WindowIcon();
    // Which frame depends on timing; any activity frame will do, the idle icon will not.
    EXPECT_TRUE(first >= 302 && first <= 305) << "first capture shows icon " << first;
    EXPECT_TRUE(second >= 302 && second <= 305) << "second capture shows icon " << second;

    EXPECT_EQ(0, Close());
    box_.PumpMessages(100);
    EXPECT_EQ(hosted::kIdleIcon, WindowIcon());
}

}  // namespace
