// IO called on another thread than the one that owns the control's window, as Portlex calls
// its terminal window: the owning thread pumps messages, the other thread writes many times;
// neither blocks the other for good and the window ends up showing the screen.
#include <gtest/gtest.h>

#include <string>
#include "capture.h"
#include "framework/handles.h"
#include "row_pixels.h"
#include "textpane_host.h"

namespace {

using hosted::HostKind;
using hosted::InkInRow;
using hosted::InkProfile;

const int kCalls = 120;
const DWORD kDeadlockMs = 30000;

struct WriterJob {
    IDispatch* textpane;  // called directly, without marshalling, as Portlex does
    int calls;
    int failures = 0;
};

const int kMarkerCall = 110;

// One line "w<call>" per call, every seventh call three lines at once; one call a wide marker.
std::string CallText(int call) {
    std::string text = "w" + std::to_string(call) + (call == kMarkerCall ? std::string(50, '#') : "") + "\r";
    if (call % 7 == 0) text += "a\rb\r";
    return text;
}

DWORD WINAPI WriteFromOtherThread(void* parameter) {
    auto* job = static_cast<WriterJob*>(parameter);
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    for (int call = 0; call < job->calls; ++call)
        if (FAILED(hosted::WriteText(job->textpane, CallText(call).c_str()))) ++job->failures;
    CoUninitialize();
    return 0;
}

// Dispatches this thread's messages (the window's paints) until the thread ends.
bool PumpUntilEnded(hosted::TextpaneHost& host, HANDLE thread, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    while (WaitForSingleObject(thread, 0) == WAIT_TIMEOUT) {
        if (GetTickCount() - start > timeoutMs) return false;
        MsgWaitForMultipleObjects(1, &thread, FALSE, 50, QS_ALLINPUT);
        host.Pump(0);
    }
    return true;
}

class TextpaneThreads : public ::testing::TestWithParam<HostKind> {};

TEST_P(TextpaneThreads, IoFromAnotherThreadPaintsThroughTheOwningThread) {
    hosted::TextpaneHost host(GetParam());
    ASSERT_EQ(S_OK, host.Create({480, 400})) << host.LastError();
    const int rowHeight = hosted::RowHeightOf(hosted::GetFont(host.Dispatch()).Get());
    ASSERT_GT(rowHeight, 0);

    WriterJob job{host.Dispatch(), kCalls};
    DWORD threadId = 0;
    fw::UniqueHandle thread(CreateThread(nullptr, 0, WriteFromOtherThread, &job, 0, &threadId));
    ASSERT_TRUE(thread) << GetLastError();
    if (!PumpUntilEnded(host, thread.Get(), kDeadlockMs)) {
        // The writer is stuck for good; it cannot be joined, only ended.
        TerminateThread(thread.Get(), 1);
        FAIL() << "IO from another thread did not finish within " << kDeadlockMs << " ms";
    }
    EXPECT_EQ(0, job.failures);
    host.Pump(50);

    // The window's pixels, built call by call while the other thread scrolled them, are those
    // of a fresh drawing of the whole screen.
    const tc::Pixels shot = tc::CaptureWindow(host.Window());
    HRESULT hr = E_FAIL;
    const tc::Pixels fresh = tc::DrawWithViewObject(host.Control(), {shot.width, shot.height}, &hr);
    ASSERT_EQ(S_OK, hr);
    const tc::PixelRect screen = {0, 0, shot.width, 24 * rowHeight};
    EXPECT_EQ(0, hosted::Differences(shot, fresh, screen))
        << "window: " << InkProfile(shot, rowHeight) << "\nfresh:  " << InkProfile(fresh, rowHeight);

    // Every call ended its lines: the last 23 lines fill rows 0..22 and row 23 is empty.
    int markerRow = 22;
    for (int call = kMarkerCall + 1; call < kCalls; ++call)
        for (char c : CallText(call)) markerRow -= c == '\r';
    ASSERT_GE(markerRow, 0);
    for (int row = 0; row < 23; ++row) EXPECT_GT(InkInRow(shot, row, rowHeight), 0) << InkProfile(shot, rowHeight);
    EXPECT_EQ(0, InkInRow(shot, 23, rowHeight)) << InkProfile(shot, rowHeight);
    const tc::PixelRect marker = {150, markerRow * rowHeight, shot.width, (markerRow + 1) * rowHeight};
    EXPECT_GT(tc::CountOtherThan(shot, marker, hosted::kWhite), 0) << "marker row " << markerRow << ": "
                                                                  << InkProfile(shot, rowHeight);
    const tc::PixelRect rightOfOthers = {150, 0, shot.width, markerRow * rowHeight};
    EXPECT_EQ(0, tc::CountOtherThan(shot, rightOfOthers, hosted::kWhite)) << InkProfile(shot, rowHeight);
}

INSTANTIATE_TEST_SUITE_P(Hosts, TextpaneThreads, ::testing::Values(HostKind::TestContainer, HostKind::AtlHost),
                         [](const ::testing::TestParamInfo<HostKind>& info) { return hosted::HostName(info.param); });

}  // namespace
