// The registered control as an object, without a line: its members and their invoke
// kinds, defaults, the saved state that the host's dialog template carries, its picture.
#include <gtest/gtest.h>
#include <olectl.h>
#include <cstring>
#include <set>
#include "comm_control.h"
#include "com_test_env.h"
#include "handles.h"

using namespace serial_line;

namespace {

class CommControlObject : public ::testing::Test {
protected:
    void SetUp() override {
        HRESULT hr = control.Create();
        ASSERT_EQ(hr, S_OK) << "CoCreateInstance of the control: " << HresultText(hr);
    }
    testing_support::ComApartment apartment;
    CommControl control;
};

TEST_F(CommControlObject, MembersHaveTheirDispatchIdsAndInvokeKinds) {
    const struct {
        const wchar_t* name;
        DISPID id;
        std::set<INVOKEKIND> kinds;
        VARTYPE type;  // of the value got or put
    } members[] = {
        {L"CommPort", 4, {INVOKE_PROPERTYGET, INVOKE_PROPERTYPUT}, VT_I2},
        {L"Handshaking", 10, {INVOKE_PROPERTYGET, INVOKE_PROPERTYPUT}, VT_I4},
        {L"PortOpen", 20, {INVOKE_PROPERTYGET, INVOKE_PROPERTYPUT}, VT_BOOL},
        {L"Settings", 23, {INVOKE_PROPERTYGET, INVOKE_PROPERTYPUT}, VT_BSTR},
        {L"Output", 25, {INVOKE_PROPERTYPUT}, VT_VARIANT},
        {L"Input", 26, {INVOKE_PROPERTYGET}, VT_VARIANT},
    };
    fw::ComPtr<ITypeInfo> info;
    ASSERT_EQ(control.Dispatch()->GetTypeInfo(0, LOCALE_USER_DEFAULT, info.ReleaseAndGetAddressOf()), S_OK);
    for (const auto& m : members) {
        const std::string name(m.name, m.name + wcslen(m.name));
        LPOLESTR names[1] = {const_cast<LPOLESTR>(m.name)};
        DISPID id = 0;
        ASSERT_EQ(control.Dispatch()->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id), S_OK) << name;
        EXPECT_EQ(id, m.id) << name;
        std::set<INVOKEKIND> kinds;
        TYPEATTR* attr = nullptr;
        ASSERT_EQ(info->GetTypeAttr(&attr), S_OK);
        for (UINT f = 0; f < attr->cFuncs; ++f) {
            FUNCDESC* func = nullptr;
            ASSERT_EQ(info->GetFuncDesc(f, &func), S_OK);
            if (func->memid == m.id) {
                kinds.insert(func->invkind);
                const TYPEDESC& value = func->invkind == INVOKE_PROPERTYPUT ? func->lprgelemdescParam[0].tdesc
                                                                            : func->elemdescFunc.tdesc;
                EXPECT_EQ(value.vt, m.type) << name << " kind " << func->invkind;
            }
            info->ReleaseFuncDesc(func);
        }
        info->ReleaseTypeAttr(attr);
        EXPECT_EQ(kinds, m.kinds) << name;
    }
    // Reading Output and writing Input do not exist.
    fw::Variant value;
    EXPECT_EQ(control.Get(kDispOutput, &value).hr, DISP_E_MEMBERNOTFOUND);
    VARIANT text;
    VariantInit(&text);
    text.vt = VT_BSTR;
    text.bstrVal = SysAllocString(L"x");
    EXPECT_EQ(control.Put(kDispInput, text).hr, DISP_E_MEMBERNOTFOUND);
}

TEST_F(CommControlObject, StartsClosedOnCom1At9600N81WithoutHandshaking) {
    fw::Variant port, handshaking;
    ASSERT_TRUE(control.Get(kDispCommPort, &port).Ok());
    EXPECT_EQ(port.vt, VT_I2);
    EXPECT_EQ(port.iVal, 1);
    ASSERT_TRUE(control.Get(kDispHandshaking, &handshaking).Ok());
    EXPECT_EQ(handshaking.lVal, 0);
    EXPECT_EQ(control.Settings(), "9600,n,8,1");
    EXPECT_FALSE(control.PortOpen());
    // Closing a closed port is harmless.
    CallResult close = control.SetPortOpen(false);
    EXPECT_TRUE(close.Ok()) << close;
}

TEST_F(CommControlObject, PropertiesKeepWhatIsPutWhileClosed) {
    ASSERT_TRUE(control.SetCommPort(12).Ok());
    ASSERT_TRUE(control.SetHandshaking(3).Ok());
    ASSERT_TRUE(control.SetSettings("4800,e,7,2").Ok());
    fw::Variant port, handshaking;
    ASSERT_TRUE(control.Get(kDispCommPort, &port).Ok());
    EXPECT_EQ(port.iVal, 12);
    ASSERT_TRUE(control.Get(kDispHandshaking, &handshaking).Ok());
    EXPECT_EQ(handshaking.lVal, 3);
    EXPECT_EQ(control.Settings(), "4800,e,7,2");
}

// The state the host dialog's template hands to the control (after the record's leading
// DWORD 0): version 1.0, an extent of 661 x 609 HIMETRIC and no stock properties.
TEST_F(CommControlObject, SavedStateOfTheHostTemplateLoadsAndSavesBack) {
    const DWORD state[] = {0x00010000, 661, 609, 0};
    fw::ComPtr<IStream> in;
    ASSERT_EQ(CreateStreamOnHGlobal(nullptr, TRUE, in.ReleaseAndGetAddressOf()), S_OK);
    ASSERT_EQ(in->Write(state, sizeof state, nullptr), S_OK);
    LARGE_INTEGER zero = {};
    in->Seek(zero, STREAM_SEEK_SET, nullptr);

    auto persist = fw::ComPtr<IDispatch>(control.Dispatch()).As<IPersistStreamInit>(IID_IPersistStreamInit);
    ASSERT_TRUE(persist);
    ASSERT_EQ(persist->Load(in.Get()), S_OK);
    auto object = fw::ComPtr<IDispatch>(control.Dispatch()).As<IOleObject>(IID_IOleObject);
    ASSERT_TRUE(object);
    SIZEL extent = {};
    ASSERT_EQ(object->GetExtent(DVASPECT_CONTENT, &extent), S_OK);
    EXPECT_EQ(extent.cx, 661);
    EXPECT_EQ(extent.cy, 609);

    fw::ComPtr<IStream> out;
    ASSERT_EQ(CreateStreamOnHGlobal(nullptr, TRUE, out.ReleaseAndGetAddressOf()), S_OK);
    ASSERT_EQ(persist->Save(out.Get(), TRUE), S_OK);
    STATSTG stat = {};
    ASSERT_EQ(out->Stat(&stat, STATFLAG_NONAME), S_OK);
    ASSERT_EQ(stat.cbSize.QuadPart, sizeof state);
    DWORD saved[4] = {};
    out->Seek(zero, STREAM_SEEK_SET, nullptr);
    ASSERT_EQ(out->Read(saved, sizeof saved, nullptr), S_OK);
    EXPECT_EQ(std::memcmp(saved, state, sizeof state), 0)
        << std::hex << saved[0] << " " << std::dec << saved[1] << " " << saved[2] << " " << saved[3];
}

TEST_F(CommControlObject, IsAControlInvisibleAtRunTime) {
    auto object = fw::ComPtr<IDispatch>(control.Dispatch()).As<IOleObject>(IID_IOleObject);
    ASSERT_TRUE(object);
    DWORD status = 0;
    ASSERT_EQ(object->GetMiscStatus(DVASPECT_CONTENT, &status), S_OK);
    EXPECT_TRUE(status & OLEMISC_INVISIBLEATRUNTIME) << std::hex << status;
    EXPECT_TRUE(status & OLEMISC_SETCLIENTSITEFIRST) << std::hex << status;
}

TEST_F(CommControlObject, DrawsAModemWithAHandset) {
    auto view = fw::ComPtr<IDispatch>(control.Dispatch()).As<IViewObject>(IID_IViewObject);
    ASSERT_TRUE(view);
    const int size = 48;
    BITMAPINFO bmi = {};
    bmi.bmiHeader.biSize = sizeof bmi.bmiHeader;
    bmi.bmiHeader.biWidth = size;
    bmi.bmiHeader.biHeight = -size;
    bmi.bmiHeader.biPlanes = 1;
    bmi.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    fw::UniqueGdi<HBITMAP> bitmap(CreateDIBSection(nullptr, &bmi, DIB_RGB_COLORS, &bits, nullptr, 0));
    fw::UniqueMemoryDc dc(CreateCompatibleDC(nullptr));
    ASSERT_TRUE(bitmap && dc);
    fw::SelectGuard select(dc.Get(), bitmap.Get());
    PatBlt(dc.Get(), 0, 0, size, size, WHITENESS);
    RECTL bounds = {0, 0, size, size};
    ASSERT_EQ(view->Draw(DVASPECT_CONTENT, -1, nullptr, nullptr, nullptr, dc.Get(), &bounds, nullptr, nullptr, 0),
              S_OK);
    GdiFlush();
    int black = 0, casing = 0, unlit = 0, white = 0;
    const DWORD* pixels = static_cast<const DWORD*>(bits);
    for (int i = 0; i < size * size; ++i) {
        const DWORD rgb = pixels[i] & 0xFFFFFF;  // 0x00RRGGBB
        black += rgb == 0x000000;
        casing += rgb == 0xA8A8A8;
        unlit += rgb == 0x004800;  // the lights are dark while the port is closed
        white += rgb == 0xFFFFFF;
    }
    EXPECT_GT(black, size) << "handset";
    EXPECT_GT(casing, size * 4) << "casing";
    EXPECT_GT(unlit, 3) << "lights";
    EXPECT_EQ(white, 0) << "the whole area is painted";
}

}  // namespace
