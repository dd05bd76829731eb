// A dialog template naming an ActiveX control by CLSID, with the control's saved state in
// the template's initialisation data: the control is created, loaded and placed.
#include <gtest/gtest.h>
#include "bstr.h"
#include "com_test_env.h"
#include "control_dialog.h"
#include "module.h"
#include "resource.h"

using namespace testing_support;

namespace {

const void* Resource(UINT id, LPCSTR type, size_t* size) {
    HRSRC found = FindResourceA(fw::Module::Instance(), MAKEINTRESOURCEA(id), type);
    if (!found) return nullptr;
    *size = SizeofResource(fw::Module::Instance(), found);
    return LockResource(LoadResource(fw::Module::Instance(), found));
}

TEST(ControlDialogTemplate, FindsTheControlsNamedByClsidAndTheirSavedState) {
    size_t size = 0;
    const void* dialog = Resource(IDD_TEXTPANE_HOST, MAKEINTRESOURCEA(5), &size);
    ASSERT_NE(dialog, nullptr);
    std::vector<fw::TemplateControl> named;
    for (const auto& item : fw::NamedClassItems(dialog, size))
        if (item.className[0] == L'{') named.push_back(item);
    ASSERT_EQ(named.size(), 1u);
    EXPECT_EQ(named[0].id, IDC_TEXTPANE);
    EXPECT_EQ(named[0].className, L"{16C17BC4-2508-11D1-A95C-00805F6CFD10}");

    const BYTE* records = static_cast<const BYTE*>(Resource(IDD_TEXTPANE_HOST, MAKEINTRESOURCEA(240), &size));
    ASSERT_NE(records, nullptr);
    const BYTE* state = nullptr;
    size_t stateSize = 0;
    ASSERT_TRUE(fw::FindControlInitData(records, size, IDC_TEXTPANE, &state, &stateSize));
    EXPECT_GT(stateSize, 4u + 16u);
    EXPECT_FALSE(fw::FindControlInitData(records, size, 999, &state, &stateSize));
    // A truncated record list is refused, not overrun.
    EXPECT_FALSE(fw::FindControlInitData(records, 6, IDC_TEXTPANE, &state, &stateSize));
}

TEST(ControlDialogHost, TerminalWindowHostsTextpaneInSmallFonts) {
    fw::ControlDialog dialog(IDD_TEXTPANE_HOST);
    ASSERT_TRUE(dialog.Create(nullptr));
    IDispatch* textpane = dialog.ControlDispatch(IDC_TEXTPANE);
    ASSERT_NE(textpane, nullptr);
    HWND paneWindow = GetDlgItem(dialog.Handle(), IDC_TEXTPANE);
    ASSERT_NE(paneWindow, nullptr);
    EXPECT_EQ(GetParent(paneWindow), dialog.Handle());

    fw::Variant font;
    ASSERT_EQ(CallByName(textpane, L"Font", DISPATCH_PROPERTYGET, {}, &font), S_OK);
    ASSERT_EQ(font.vt, VT_DISPATCH);
    fw::Variant name, size;
    ASSERT_EQ(CallByName(font.pdispVal, L"Name", DISPATCH_PROPERTYGET, {}, &name), S_OK);
    ASSERT_EQ(CallByName(font.pdispVal, L"Size", DISPATCH_PROPERTYGET, {}, &size), S_OK);
    EXPECT_EQ(fw::BstrToAnsi(name.bstrVal), "Small Fonts");
    ASSERT_EQ(size.vt, VT_CY);
    EXPECT_NEAR(size.cyVal.int64 / 10000.0, 6.75, 0.01);

    EXPECT_EQ(CallByName(textpane, L"IO", DISPATCH_METHOD, {StringArg("hello\r\n")}, nullptr), S_OK);
    dialog.DestroyWindow();
    EXPECT_FALSE(IsWindow(paneWindow));
}

}  // namespace
