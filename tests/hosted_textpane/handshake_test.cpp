// The form-container handshake with Textpane, read back from our container's call log, and
// a clean end in both hosts: Close leaves no window behind.
#include <gtest/gtest.h>

#include <string>
#include "connection_points.h"
#include "hresult_text.h"
#include "textpane_host.h"

namespace {

const IID kTextpaneEvents = {0x16C17BC3, 0x2508, 0x11D1, {0xA9, 0x5C, 0x00, 0x80, 0x5F, 0x6C, 0xFD, 0x10}};

std::string StepsText(const tc::TestContainer& box) {
    std::string text;
    for (const tc::Step& s : box.Steps()) text += "\n  " + s.name + " " + tc::HresultText(s.hr);
    return text;
}

HRESULT StepResult(const tc::TestContainer& box, const std::string& name) {
    for (const tc::Step& s : box.Steps())
        if (s.name == name) return s.hr;
    return E_UNEXPECTED;  // the step did not run
}

TEST(TextpaneHandshake, StrictFormContainerSequenceSucceeds) {
    struct Case {
        const char* what;
        tc::ContainerOptions options;
    };
    tc::ContainerOptions classic, quick, oldSite;
    quick.quickActivate = true;  // asked for, as VB does; the control has the classic path only
    oldSite.inPlaceSiteEx = false;
    const Case cases[] = {{"classic", classic}, {"quick activation asked", quick}, {"site without Ex", oldSite}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        tc::TestContainer box(c.options);
        ASSERT_EQ(S_OK, box.Create(hosted::kTextpaneProgId, {320, 200})) << box.LastError() << StepsText(box);
        for (const tc::Step& s : box.Steps()) {
            if (s.name != "QueryInterface IQuickActivate") {
                EXPECT_TRUE(SUCCEEDED(s.hr)) << s.name << " " << tc::HresultText(s.hr);
            }
        }
        EXPECT_FALSE(box.QuickActivated());

        // Events: the default source interface from IProvideClassInfo2, then its connection point.
        EXPECT_EQ(S_OK, StepResult(box, "IProvideClassInfo2::GetGUID(GUIDKIND_DEFAULT_SOURCE_DISP_IID)"))
            << StepsText(box);
        EXPECT_EQ(S_OK, StepResult(box, "IConnectionPoint::Advise (events)")) << StepsText(box);
        IID source = {};
        ASSERT_EQ(S_OK, tc::FindDefaultSourceInterface(box.Control(), &source));
        EXPECT_TRUE(IsEqualIID(kTextpaneEvents, source));

        // Site first (OLEMISC_SETCLIENTSITEFIRST), then in-place activation in the site's window.
        EXPECT_TRUE(box.MiscStatus() & OLEMISC_SETCLIENTSITEFIRST) << std::hex << box.MiscStatus();
        const int activated = box.CallIndex("OnInPlaceActivate");
        EXPECT_GE(activated, 0) << box.CallsText();
        EXPECT_GT(box.CallIndex("GetWindowContext", activated), activated) << box.CallsText();
        HWND window = box.ControlWindow();
        ASSERT_NE(nullptr, window);
        EXPECT_EQ(box.Frame(), GetParent(window));
        EXPECT_TRUE(IsWindowVisible(window));

        EXPECT_EQ(S_OK, box.Close()) << box.LastError();
        EXPECT_GE(box.CallIndex("OnInPlaceDeactivate", activated), 0) << box.CallsText();
        EXPECT_FALSE(IsWindow(window));
        EXPECT_EQ(nullptr, box.Control());
    }
}

TEST(TextpaneHandshake, AtlHostDestroyLeavesNoWindow) {
    hosted::TextpaneHost host(hosted::HostKind::AtlHost);
    ASSERT_EQ(S_OK, host.Create({320, 200})) << host.LastError();
    HWND window = host.Window();
    ASSERT_NE(nullptr, window);
    EXPECT_EQ(S_OK, hosted::WriteText(host.Dispatch(), "still alive\r"));
    host.Destroy();
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(nullptr, host.Control());
}

}  // namespace
