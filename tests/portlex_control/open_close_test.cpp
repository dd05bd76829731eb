// Open and Close of the registered Portlex control, created by ProgID as a script host does.
#include <gtest/gtest.h>
#include <ocidl.h>
#include "capture.h"
#include "portlex_fixture.h"

using namespace testing_support;

namespace {

const char kDisconnected[] = "Portlex V3.4 - disconnected";

using OpenClose = PortlexFixture;

TEST_F(OpenClose, WinsockShowsTheTerminalWindowAndCloseEndsIt) {
    ASSERT_EQ(Call(L"Open", {StringArg("winsock")}), 0);
    HWND window = FindProcessWindow(kDisconnected);
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(IsWindowVisible(window));
    DWORD threadId = GetWindowThreadProcessId(window, nullptr);
    EXPECT_NE(threadId, GetCurrentThreadId());
    HWND pane = GetDlgItem(window, 502);
    ASSERT_NE(pane, nullptr);
    RECT client, paneRect;
    GetClientRect(window, &client);
    GetClientRect(pane, &paneRect);
    EXPECT_EQ(paneRect.right, client.right);
    EXPECT_EQ(paneRect.bottom, client.bottom);
    // The blank screen is painted white over the whole client area, under the Cancel
    // button in the top right corner.
    // The window belongs to the terminal thread, which paints it in its own time: look
    // until it has (a bounded wait), then check.
    tc::Pixels picture;
    tc::PixelRect lowerHalf;
    for (int attempt = 0; attempt < 40; ++attempt) {
        RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        picture = tc::CaptureWindow(window);
        ASSERT_FALSE(picture.Empty());
        lowerHalf = {0, picture.height / 2, picture.width, picture.height};
        if (tc::CountOtherThan(picture, lowerHalf, tc::Rgb(255, 255, 255)) == 0) break;
        Sleep(50);
    }
    EXPECT_EQ(tc::CountOtherThan(picture, lowerHalf, tc::Rgb(255, 255, 255)), 0)
        << tc::Histogram(picture, lowerHalf);
    RECT cancel;
    GetWindowRect(GetDlgItem(window, IDCANCEL), &cancel);
    MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&cancel), 2);
    EXPECT_GT(cancel.left, client.right / 2);
    EXPECT_EQ(cancel.top, 0);

    Call(L"ShowTextpane", {BoolArg(false)});
    EXPECT_FALSE(IsWindowVisible(window));
    Call(L"ShowTextpane", {BoolArg(true)});
    EXPECT_TRUE(IsWindowVisible(window));

    // Cancel disables itself and stays disabled.
    SendMessageA(window, WM_COMMAND, IDCANCEL, 0);
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(window, IDCANCEL)));

    EXPECT_EQ(Call(L"Close"), 0);
    EXPECT_FALSE(IsWindow(window));
    HANDLE thread = OpenThread(SYNCHRONIZE, FALSE, threadId);
    if (thread) {
        EXPECT_EQ(WaitForSingleObject(thread, 2000), WAIT_OBJECT_0) << "terminal window thread still running";
        CloseHandle(thread);
    }
}

TEST_F(OpenClose, ReleasingTheControlWhileOpenClosesTheService) {
    ASSERT_EQ(Call(L"Open", {StringArg("Winsock")}), 0);
    HWND window = FindProcessWindow(kDisconnected);
    ASSERT_NE(window, nullptr);
    DWORD threadId = GetWindowThreadProcessId(window, nullptr);
    HANDLE thread = OpenThread(SYNCHRONIZE, FALSE, threadId);
    MessageWindowWatch watch;
    control_.Reset();
    EXPECT_FALSE(IsWindow(window));
    if (thread) {
        EXPECT_EQ(WaitForSingleObject(thread, 2000), WAIT_OBJECT_0) << "terminal window thread still running";
        CloseHandle(thread);
    }
    EXPECT_FALSE(watch.Shown());
}

TEST_F(OpenClose, ShowTextpaneBeforeOpenDecidesHowTheWindowStarts) {
    fw::ComPtr<IPersistStreamInit> persist;
    ASSERT_EQ(control_->QueryInterface(IID_IPersistStreamInit, persist.OutVoid()), S_OK);
    persist->InitNew();
    Call(L"ShowTextpane", {BoolArg(true)});  // the value it has: nothing happens
    EXPECT_EQ(persist->IsDirty(), S_FALSE);
    Call(L"ShowTextpane", {BoolArg(false)});
    EXPECT_EQ(persist->IsDirty(), S_OK);

    ASSERT_EQ(Call(L"Open", {StringArg("Winsock")}), 0);
    HWND window = FindProcessWindow(kDisconnected);
    ASSERT_NE(window, nullptr);
    EXPECT_FALSE(IsWindowVisible(window));
    Call(L"ShowTextpane", {BoolArg(true)});
    EXPECT_TRUE(IsWindowVisible(window));
    EXPECT_EQ(Call(L"Close"), 0);
}

TEST_F(OpenClose, SecondOpenIsRefusedWithoutMessage) {
    ASSERT_EQ(Call(L"Open", {StringArg("Telnet")}), 0);
    MessageWindowWatch watch;
    EXPECT_EQ(Call(L"Open", {StringArg("Winsock")}), -9);
    Sleep(200);
    EXPECT_FALSE(watch.Shown());
    EXPECT_EQ(Call(L"Close"), 0);
}

TEST_F(OpenClose, CloseWithoutOpenReturnsZero) { EXPECT_EQ(Call(L"Close"), 0); }

TEST_F(OpenClose, ClosingWinsockTwiceReportsTheCleanupFailure) {
    ASSERT_EQ(Call(L"Open", {StringArg("Winsock")}), 0);
    EXPECT_EQ(Call(L"Close"), 0);
    std::string message;
    EXPECT_EQ(CallWatching(L"Close", {}, &message), -1);
    EXPECT_EQ(message.rfind("Socket error in function \"WSACleanup\" : ", 0), 0u) << message;
}

TEST_F(OpenClose, TelvoraWithoutTheCaptureLibraryReportsIt) {
    std::string message;
    EXPECT_EQ(CallWatching(L"Open", {StringArg("SERVICE1,3")}, &message), -9);
    EXPECT_EQ(message, "Could not load Cap32.dll !");
    EXPECT_EQ(Call(L"Close"), 0);
}

TEST_F(OpenClose, RepeatedCyclesLeaveNothingBehind) {
    DWORD handlesBefore = 0, handlesAfter = 0;
    ASSERT_EQ(Call(L"Open", {StringArg("Winsock")}), 0);  // warm up: first loads
    ASSERT_EQ(Call(L"Close"), 0);
    GetProcessHandleCount(GetCurrentProcess(), &handlesBefore);
    DWORD gdiBefore = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    for (int i = 0; i < 200; ++i) {
        ASSERT_EQ(Call(L"Open", {StringArg(i % 2 ? "Winsock" : "Telnet")}), 0) << i;
        ASSERT_EQ(Call(L"Close"), 0) << i;
    }
    GetProcessHandleCount(GetCurrentProcess(), &handlesAfter);
    EXPECT_LE(handlesAfter, handlesBefore + 5);
    EXPECT_LE(GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS), gdiBefore + 10);
    EXPECT_EQ(FindProcessWindow(kDisconnected), nullptr);
}

}  // namespace
