// Wine's ATL host with a control it can create, and with a class it cannot.
#include <gtest/gtest.h>

#include <ole2.h>
#include "atl_host.h"
#include "capture.h"

namespace {

TEST(AtlHost, HostsARegisteredControl) {
    tc::AtlHost host;
    ASSERT_EQ(S_OK, host.Create(L"WMPlayer.OCX", {120, 90})) << host.LastError();
    EXPECT_FALSE(host.Module().empty());
    ASSERT_NE(nullptr, host.Control());
    fw::ComPtr<IOleObject> object;
    EXPECT_EQ(S_OK, host.Control()->QueryInterface(IID_IOleObject, object.OutVoid()));

    // ATL activated it in place: the player's window is a child of the AtlAxWin window.
    HWND player = GetWindow(host.AxWindow(), GW_CHILD);
    ASSERT_NE(nullptr, player);
    host.PumpMessages(100);
    const tc::Pixels shot = tc::CaptureWindow(player);
    EXPECT_GT(tc::CountColor(shot, shot.Bounds(), tc::Rgb(255, 0, 0)), shot.width * shot.height / 2)
        << tc::Histogram(shot, shot.Bounds());

    host.Destroy();
    EXPECT_EQ(nullptr, host.Control());
    EXPECT_FALSE(IsWindow(player));
}

TEST(AtlHost, ClassThatCannotBeCreatedIsReported) {
    tc::AtlHost host;
    const HRESULT hr = host.Create(L"{00000000-1111-2222-3333-444444444444}", {50, 50});
    EXPECT_TRUE(FAILED(hr)) << std::hex << hr;
    EXPECT_FALSE(host.LastError().empty());
    EXPECT_EQ(nullptr, host.Control());
    EXPECT_EQ(nullptr, host.Frame());
}

}  // namespace
