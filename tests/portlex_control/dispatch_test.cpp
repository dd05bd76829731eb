// The registered Portlex control by late binding, as script hosts and VB call it.
#include <gtest/gtest.h>
#include <ocidl.h>
#include <olectl.h>
#include <cstring>
#include <mutex>
#include <vector>
#include "com_test_env.h"
#include "window_watcher.h"

using namespace testing_support;

namespace {

// Reads the version line of an about box once the box shows it, then presses OK.
class AboutBoxReader {
public:
    explicit AboutBoxReader(const char* caption)
        : watcher_(caption, [this](HWND d) { Look(d); }, [this](HWND d) { Look(d); }) {}
    std::string Text() {
        std::lock_guard<std::mutex> guard(lock_);
        return text_;
    }

private:
    void Look(HWND dialog) {
        for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
            std::string line = WindowText(child);
            if (line.find("Version") == std::string::npos) continue;
            std::lock_guard<std::mutex> guard(lock_);
            if (text_.empty()) PressButton(dialog, IDOK);
            text_ = line;
        }
    }
    std::mutex lock_;
    std::string text_;
    WindowWatcher watcher_;  // last: it stops before the members it uses go
};

class PortlexDispatch : public ::testing::Test {
protected:
    void SetUp() override {
        CLSID clsid;
        ASSERT_EQ(CLSIDFromProgID(L"PORTLEX.PortlexCtrl.1", &clsid), S_OK);
        HRESULT hr = CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch, control_.OutVoid());
        ASSERT_EQ(hr, S_OK) << std::hex << hr;
    }
    ComApartment apartment_;
    fw::ComPtr<IDispatch> control_;
};

TEST_F(PortlexDispatch, VersionIs196612) {
    fw::Variant result;
    ASSERT_EQ(CallByName(control_.Get(), L"Version", DISPATCH_METHOD, {}, &result), S_OK);
    EXPECT_EQ(result.vt, VT_I4);
    EXPECT_EQ(result.lVal, 196612);
}

TEST_F(PortlexDispatch, DispatchIdsAreFixed) {
    const struct { const wchar_t* name; DISPID id; } members[] = {
        {L"Close", 3}, {L"Connect", 4}, {L"Disconnect", 5}, {L"Interrupt", 6}, {L"Open", 7}, {L"Read", 8},
        {L"SetCheckIncoming", 9}, {L"SetMessageTimer", 10}, {L"ShowTextpane", 11}, {L"Version", 12},
        {L"Write", 13}, {L"WriteNoEcho", 14}, {L"AboutBox", -552}, {L"BackColor", -501}, {L"BorderStyle", -504},
        {L"Caption", -518}, {L"Enabled", -514}};
    for (const auto& m : members) EXPECT_EQ(DispatchId(control_.Get(), m.name), m.id) << std::string(m.name, m.name + wcslen(m.name));
}

TEST_F(PortlexDispatch, SetCheckIncomingTakesOneBoolInAnyIntegerForm) {
    fw::Variant result;
    EXPECT_EQ(CallByName(control_.Get(), L"SetCheckIncoming", DISPATCH_METHOD, {ShortArg(1)}, &result), S_OK);
    EXPECT_EQ(CallByName(control_.Get(), L"SetCheckIncoming", DISPATCH_METHOD, {BoolArg(false)}, &result), S_OK);
    EXPECT_EQ(CallByName(control_.Get(), L"SetCheckIncoming", DISPATCH_METHOD, {LongArg(-1)}, &result), S_OK);
    EXPECT_EQ(CallByName(control_.Get(), L"SetCheckIncoming", DISPATCH_METHOD, {LongArg(0)}, &result), S_OK);
}

TEST_F(PortlexDispatch, BadCallsGetDispatchErrors) {
    fw::Variant result;
    EXPECT_EQ(CallByName(control_.Get(), L"SetCheckIncoming", DISPATCH_METHOD, {}, &result), DISP_E_BADPARAMCOUNT);
    EXPECT_EQ(CallByName(control_.Get(), L"SetMessageTimer", DISPATCH_METHOD, {StringArg("not a number")}, &result),
              DISP_E_TYPEMISMATCH);
    EXPECT_EQ(CallByName(control_.Get(), L"Version", DISPATCH_METHOD, {LongArg(1)}, &result), DISP_E_BADPARAMCOUNT);
    DISPPARAMS none = {nullptr, nullptr, 0, 0};
    EXPECT_EQ(control_->Invoke(999, IID_NULL, 0, DISPATCH_METHOD, &none, &result, nullptr, nullptr),
              DISP_E_MEMBERNOTFOUND);
}

TEST_F(PortlexDispatch, NamedArgumentsGoToTheirParameters) {
    LPOLESTR names[2] = {const_cast<LPOLESTR>(L"SetMessageTimer"), const_cast<LPOLESTR>(L"lSeconds")};
    DISPID ids[2] = {0, 0};
    ASSERT_EQ(control_->GetIDsOfNames(IID_NULL, names, 2, 0, ids), S_OK);
    EXPECT_EQ(ids[0], 10);
    EXPECT_EQ(ids[1], 0);
    VARIANT arg = LongArg(0);
    DISPID named = ids[1];
    DISPPARAMS params = {&arg, &named, 1, 1};
    fw::Variant result;
    EXPECT_EQ(control_->Invoke(ids[0], IID_NULL, 0, DISPATCH_METHOD, &params, &result, nullptr, nullptr), S_OK);
    named = 5;  // no such parameter
    UINT argError = 99;
    EXPECT_EQ(control_->Invoke(ids[0], IID_NULL, 0, DISPATCH_METHOD, &params, &result, nullptr, &argError),
              DISP_E_PARAMNOTFOUND);
    EXPECT_EQ(argError, 0u);
    // With the message window off, a failing call returns at once: the named value arrived.
    fw::Variant closed;
    EXPECT_EQ(CallByName(control_.Get(), L"Open", DISPATCH_METHOD, {StringArg("Winsock")}, &closed), S_OK);
    EXPECT_EQ(CallByName(control_.Get(), L"Close", DISPATCH_METHOD, {}, &closed), S_OK);
    DWORD start = GetTickCount();
    EXPECT_EQ(CallByName(control_.Get(), L"Close", DISPATCH_METHOD, {}, &closed), S_OK);
    EXPECT_EQ(closed.lVal, -1);
    EXPECT_LT(GetTickCount() - start, 1000u);
}

TEST_F(PortlexDispatch, StockPropertiesReadAndWrite) {
    fw::Variant color;
    ASSERT_EQ(CallByName(control_.Get(), L"BackColor", DISPATCH_PROPERTYPUT, {LongArg(0x00FF00)}, nullptr), S_OK);
    ASSERT_EQ(CallByName(control_.Get(), L"BackColor", DISPATCH_PROPERTYGET, {}, &color), S_OK);
    EXPECT_EQ(color.lVal, 0x00FF00);
    fw::Variant caption;
    ASSERT_EQ(CallByName(control_.Get(), L"Caption", DISPATCH_PROPERTYPUT, {StringArg("hello")}, nullptr), S_OK);
    ASSERT_EQ(CallByName(control_.Get(), L"Caption", DISPATCH_PROPERTYGET, {}, &caption), S_OK);
    EXPECT_EQ(fw::BstrToAnsi(caption.bstrVal), "hello");
}

TEST_F(PortlexDispatch, AboutBoxShowsDialogOne) {
    AboutBoxReader reader("About Portlex Control");
    fw::Variant result;
    ASSERT_EQ(CallByName(control_.Get(), L"AboutBox", DISPATCH_METHOD, {}, &result), S_OK);
    EXPECT_EQ(reader.Text(), "Portlex Control, Version 3.4");
}

}  // namespace

namespace {

// Textpane's about box and its registered "General" page, reached the way hosts reach them.
TEST(TextpaneExtras, AboutBoxShowsItsDialog) {
    ComApartment apartment;
    fw::ComPtr<IDispatch> pane;
    CLSID clsid;
    ASSERT_EQ(CLSIDFromProgID(L"Textpane.TextpaneCtrl.10", &clsid), S_OK);
    ASSERT_EQ(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch, pane.OutVoid()), S_OK);
    AboutBoxReader reader("About Textpane ActiveX");
    fw::Variant result;
    ASSERT_EQ(CallByName(pane.Get(), L"AboutBox", DISPATCH_METHOD, {}, &result), S_OK);
    EXPECT_EQ(reader.Text(), "Textpane ActiveX, Version 1.0");
}

TEST(TextpaneExtras, PropertyPageActivatesOnItsTemplate) {
    ComApartment apartment;
    CLSID clsid;
    ASSERT_EQ(CLSIDFromProgID(L"Textpane.TextpanePropPage.10", &clsid), S_OK);
    fw::ComPtr<IPropertyPage> page;
    ASSERT_EQ(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IPropertyPage, page.OutVoid()), S_OK);
    PROPPAGEINFO info = {};
    ASSERT_EQ(page->GetPageInfo(&info), S_OK);
    EXPECT_EQ(fw::WideToAnsi(info.pszTitle), "General");
    EXPECT_GT(info.size.cx, 0);
    EXPECT_GT(info.size.cy, 0);
    CoTaskMemFree(info.pszTitle);

    HWND frame = CreateWindowExA(0, "STATIC", "frame", WS_POPUP, 0, 0, 400, 200, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(frame, nullptr);
    RECT rect = {0, 0, 300, 100};
    EXPECT_EQ(page->Activate(frame, &rect, TRUE), S_OK);
    HWND child = GetWindow(frame, GW_CHILD);
    EXPECT_NE(child, nullptr);
    EXPECT_EQ(page->IsPageDirty(), S_FALSE);
    EXPECT_EQ(page->Apply(), S_OK);
    EXPECT_EQ(page->Deactivate(), S_OK);
    EXPECT_FALSE(IsWindow(child));
    DestroyWindow(frame);
}

// Saved states that are cut short, or whose font record names another class, are refused.
TEST(TextpaneExtras, DamagedSavedStatesAreRefused) {
    ComApartment apartment;
    CLSID clsid;
    ASSERT_EQ(CLSIDFromProgID(L"Textpane.TextpaneCtrl.10", &clsid), S_OK);
    auto load = [&](const std::vector<BYTE>& bytes) {
        fw::ComPtr<IPersistStreamInit> pane;
        EXPECT_EQ(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IPersistStreamInit, pane.OutVoid()),
                  S_OK);
        fw::ComPtr<IStream> stream;
        CreateStreamOnHGlobal(nullptr, TRUE, stream.ReleaseAndGetAddressOf());
        if (!bytes.empty()) stream->Write(bytes.data(), static_cast<ULONG>(bytes.size()), nullptr);
        LARGE_INTEGER zero = {};
        stream->Seek(zero, STREAM_SEEK_SET, nullptr);
        return pane ? pane->Load(stream.Get()) : E_FAIL;
    };
    // A good state: version 1.0, extent, font bit, then the standard font.
    std::vector<BYTE> good;
    auto put32 = [&good](DWORD value) { good.insert(good.end(), reinterpret_cast<BYTE*>(&value),
                                                    reinterpret_cast<BYTE*>(&value) + 4); };
    put32(0x00010000);
    put32(5159);
    put32(3175);
    put32(4);
    good.push_back(0);
    const size_t classOffset = good.size();
    {
        FONTDESC desc = {sizeof(FONTDESC), const_cast<LPOLESTR>(L"Small Fonts"), {{67500, 0}}, 400, 0, 0, 0, 0};
        fw::ComPtr<IPersistStream> font;
        ASSERT_EQ(OleCreateFontIndirect(&desc, IID_IPersistStream, font.OutVoid()), S_OK);
        fw::ComPtr<IStream> stream;
        CreateStreamOnHGlobal(nullptr, TRUE, stream.ReleaseAndGetAddressOf());
        ASSERT_EQ(OleSaveToStream(font.Get(), stream.Get()), S_OK);
        HGLOBAL memory = nullptr;
        GetHGlobalFromStream(stream.Get(), &memory);
        STATSTG stat = {};
        stream->Stat(&stat, STATFLAG_NONAME);
        const BYTE* data = static_cast<const BYTE*>(GlobalLock(memory));
        good.insert(good.end(), data, data + stat.cbSize.LowPart);
        GlobalUnlock(memory);
    }
    EXPECT_EQ(load(good), S_OK);
    for (size_t length = 0; length < good.size(); ++length) {
        std::vector<BYTE> cut(good.begin(), good.begin() + length);
        EXPECT_TRUE(FAILED(load(cut))) << "cut at " << length;
    }
    std::vector<BYTE> otherClass = good;
    const CLSID portlex = {0x59F1F327, 0x5523, 0x11D1, {0xA9, 0x5D, 0x00, 0x80, 0x5F, 0x6C, 0xFD, 0x10}};
    std::memcpy(&otherClass[classOffset], &portlex, sizeof portlex);
    EXPECT_TRUE(FAILED(load(otherClass)));
}

}  // namespace

