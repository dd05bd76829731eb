// The Textpane control's saved state: through IPersistStreamInit and IPersistPropertyBag into
// a new control, and the exact state Portlex's terminal window gives it ("Small Fonts" 6.75).
#include <gtest/gtest.h>

#include <ocidl.h>
#include <cstring>
#include <string>
#include <vector>
#include "capture.h"
#include "framework/bstr.h"
#include "framework/handles.h"
#include "property_bag.h"
#include "row_pixels.h"
#include "textpane_host.h"

namespace {

const wchar_t kPortlexClsid[] = L"{59F1F327-5523-11D1-A95D-00805F6CFD10}";
const int kTerminalDialog = 210;    // its init data holds the state of control 502
const int kTextpaneControlId = 502;
const WORD kLoadFromStream = 0x0376;
const int kDlgInitType = 240;       // RT_DLGINIT

struct SavedLook {
    std::string font;  // "name size"
    SHORT weight = 0;
    SIZEL extent = {};
};

SavedLook LookOf(IUnknown* control) {
    SavedLook look;
    fw::ComPtr<IUnknown> unknown(control);
    if (auto object = unknown.As<IOleObject>(IID_IOleObject)) object->GetExtent(DVASPECT_CONTENT, &look.extent);
    if (auto dispatch = unknown.As<IDispatch>(IID_IDispatch)) {
        fw::ComPtr<IFont> font = hosted::GetFont(dispatch.Get());
        look.font = hosted::FontText(font.Get());
        if (font) font->get_Weight(&look.weight);
    }
    return look;
}

std::string Text(const SavedLook& look) {
    return look.font + " weight " + std::to_string(look.weight) + " extent " + std::to_string(look.extent.cx) +
           " x " + std::to_string(look.extent.cy);
}

fw::ComPtr<IUnknown> NewTextpane() {
    CLSID clsid = {};
    fw::ComPtr<IUnknown> control;
    if (SUCCEEDED(CLSIDFromProgID(hosted::kTextpaneProgId, &clsid)))
        CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, control.OutVoid());
    return control;
}

HRESULT LoadStream(IUnknown* control, IStream* stream) {
    fw::ComPtr<IPersistStreamInit> persist;
    HRESULT hr = control->QueryInterface(IID_IPersistStreamInit, persist.OutVoid());
    return FAILED(hr) ? hr : persist->Load(stream);
}

fw::ComPtr<IStream> StreamOf(const std::vector<BYTE>& bytes) {
    fw::ComPtr<IStream> stream;
    if (FAILED(CreateStreamOnHGlobal(nullptr, TRUE, stream.ReleaseAndGetAddressOf()))) return stream;
    ULONG written = 0;
    stream->Write(bytes.data(), static_cast<ULONG>(bytes.size()), &written);
    LARGE_INTEGER zero = {};
    stream->Seek(zero, STREAM_SEEK_SET, nullptr);
    return stream;
}

std::vector<BYTE> BytesOf(IStream* stream) {
    STATSTG stat = {};
    stream->Stat(&stat, STATFLAG_NONAME);
    std::vector<BYTE> bytes(static_cast<size_t>(stat.cbSize.QuadPart));
    LARGE_INTEGER zero = {};
    stream->Seek(zero, STREAM_SEEK_SET, nullptr);
    ULONG read = 0;
    stream->Read(bytes.data(), static_cast<ULONG>(bytes.size()), &read);
    bytes.resize(read);
    return bytes;
}

// Portlex.ocx as registered: the module whose terminal window makes the control.
std::wstring RegisteredPortlexPath() {
    const std::wstring key = std::wstring(L"CLSID\\") + kPortlexClsid + L"\\InprocServer32";
    wchar_t path[MAX_PATH] = {};
    LONG size = sizeof path;
    return RegQueryValueW(HKEY_CLASSES_ROOT, key.c_str(), path, &size) == ERROR_SUCCESS ? path : L"";
}

// The state in dialog 210's init data: the load-from-stream record of control 502, without
// the framework's 4-byte record header.
std::vector<BYTE> TerminalWindowStateFromPortlex(std::string* why) {
    const std::wstring path = RegisteredPortlexPath();
    fw::UniqueModule module(LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
    if (!module) {
        *why = "cannot load Portlex.ocx from '" + fw::WideToAnsi(path.c_str()) + "'";
        return {};
    }
    HRSRC info = FindResourceW(module.Get(), MAKEINTRESOURCEW(kTerminalDialog), MAKEINTRESOURCEW(kDlgInitType));
    HGLOBAL loaded = info ? LoadResource(module.Get(), info) : nullptr;
    const BYTE* data = loaded ? static_cast<const BYTE*>(LockResource(loaded)) : nullptr;
    if (!data) {
        *why = "no init data for dialog 210";
        return {};
    }
    const DWORD size = SizeofResource(module.Get(), info);
    for (DWORD at = 0; at + 8 <= size;) {
        WORD id, message;
        DWORD length;
        memcpy(&id, data + at, 2);
        memcpy(&message, data + at + 2, 2);
        memcpy(&length, data + at + 4, 4);
        if (id == 0) break;
        if (at + 8 + length > size) break;
        if (id == kTextpaneControlId && message == kLoadFromStream && length > 4)
            return std::vector<BYTE>(data + at + 8 + 4, data + at + 8 + length);
        at += 8 + length;
    }
    *why = "no load-from-stream record of control 502";
    return {};
}

// The same state built here: version 1.0, extent 5159 x 3175, the font bit, a font follows,
// then "Small Fonts" 6.75 points as the OLE font object saves itself.
std::vector<BYTE> TerminalWindowStateRebuilt() {
    fw::ComPtr<IStream> stream;
    CreateStreamOnHGlobal(nullptr, TRUE, stream.ReleaseAndGetAddressOf());
    const DWORD head[] = {0x00010000, 5159, 3175, 0x00000004};
    stream->Write(head, sizeof head, nullptr);
    const BYTE fontFollows = 0;
    stream->Write(&fontFollows, 1, nullptr);
    fw::ComPtr<IFont> font = hosted::MakeFont(L"Small Fonts", 67500);
    if (auto persist = font.As<IPersistStream>(IID_IPersistStream)) OleSaveToStream(persist.Get(), stream.Get());
    return BytesOf(stream.Get());
}

class TextpanePersistence : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(S_OK, box_.Create(hosted::kTextpaneProgId, {300, 200})) << box_.LastError();
        // A state that differs from every default: another font, another size.
        fw::ComPtr<IDispatch> dispatch = fw::ComPtr<IUnknown>(box_.Control()).As<IDispatch>(IID_IDispatch);
        fw::ComPtr<IFont> font = hosted::MakeFont(L"Tahoma", 120000, FW_BOLD);
        ASSERT_EQ(S_OK, hosted::PutFont(dispatch.Get(), font.Get()));
        ASSERT_EQ(S_OK, box_.Resize({333, 222})) << box_.LastError();
        saved_ = LookOf(box_.Control());
        ASSERT_EQ("Tahoma 120000", saved_.font);
    }

    tc::TestContainer box_;
    SavedLook saved_;
};

TEST_F(TextpanePersistence, StreamStateLoadsIntoANewControl) {
    fw::ComPtr<IStream> stream;
    ASSERT_EQ(S_OK, box_.SaveToStream(stream.ReleaseAndGetAddressOf())) << box_.LastError();
    const std::vector<BYTE> bytes = BytesOf(stream.Get());
    ASSERT_GE(bytes.size(), 17u);
    DWORD version = 0;
    memcpy(&version, bytes.data(), 4);
    EXPECT_EQ(0x00010000u, version);

    fw::ComPtr<IUnknown> copy = NewTextpane();
    ASSERT_TRUE(copy);
    ASSERT_EQ(S_OK, LoadStream(copy.Get(), StreamOf(bytes).Get()));
    EXPECT_EQ(Text(saved_), Text(LookOf(copy.Get())));

    // A form loading it: the container's own font does not win over the saved one.
    tc::TestContainer form;
    ASSERT_EQ(S_OK, form.Create(hosted::kTextpaneProgId, {333, 222}, StreamOf(bytes).Get())) << form.LastError();
    EXPECT_EQ(saved_.font, LookOf(form.Control()).font);
}

TEST_F(TextpanePersistence, PropertyBagStateLoadsIntoANewControl) {
    fw::ComPtr<tc::PropertyBag> bag = tc::PropertyBag::Create();
    ASSERT_EQ(S_OK, box_.SaveToBag(bag.Get())) << box_.LastError();
    for (const wchar_t* name : {L"_ExtentX", L"_ExtentY", L"Font"})
        EXPECT_TRUE(bag->Has(name)) << fw::WideToAnsi(name);

    fw::ComPtr<IUnknown> copy = NewTextpane();
    ASSERT_TRUE(copy);
    fw::ComPtr<IPersistPropertyBag> persist;
    ASSERT_EQ(S_OK, copy->QueryInterface(IID_IPersistPropertyBag, persist.OutVoid()));
    ASSERT_EQ(S_OK, persist->Load(bag.Get(), nullptr));
    EXPECT_EQ(Text(saved_), Text(LookOf(copy.Get())));

    tc::TestContainer form;
    ASSERT_EQ(S_OK, form.Create(hosted::kTextpaneProgId, {333, 222}, nullptr, bag.Get())) << form.LastError();
    EXPECT_EQ(saved_.font, LookOf(form.Control()).font);
}

class TerminalWindowState : public ::testing::Test {
protected:
    tc::OleSession ole_;
};

TEST_F(TerminalWindowState, LoadsSmallFontsAtSixPointSeventyFive) {
    std::string why;
    const std::vector<BYTE> fromPortlex = TerminalWindowStateFromPortlex(&why);
    ASSERT_FALSE(fromPortlex.empty()) << why;
    const std::vector<BYTE> rebuilt = TerminalWindowStateRebuilt();
    EXPECT_EQ(rebuilt, fromPortlex) << "Portlex's bytes differ from the state built here";

    const SavedLook expected = {"Small Fonts 67500", FW_NORMAL, {5159, 3175}};
    const struct {
        const char* source;
        const std::vector<BYTE>& bytes;
    } sources[] = {{"Portlex.ocx dialog 210", fromPortlex}, {"rebuilt", rebuilt}};
    for (const auto& s : sources) {
        SCOPED_TRACE(s.source);
        fw::ComPtr<IUnknown> control = NewTextpane();
        ASSERT_TRUE(control);
        ASSERT_EQ(S_OK, LoadStream(control.Get(), StreamOf(s.bytes).Get()));
        EXPECT_EQ(Text(expected), Text(LookOf(control.Get())));
    }
}

TEST_F(TerminalWindowState, DrawsInRowsOfSmallFonts) {
    std::string why;
    const std::vector<BYTE> state = TerminalWindowStateFromPortlex(&why);
    ASSERT_FALSE(state.empty()) << why;
    tc::TestContainer box;
    ASSERT_EQ(S_OK, box.Create(hosted::kTextpaneProgId, {480, 300}, StreamOf(state).Get())) << box.LastError();
    fw::ComPtr<IDispatch> dispatch = fw::ComPtr<IUnknown>(box.Control()).As<IDispatch>(IID_IDispatch);
    const int rowHeight = hosted::RowHeightOf(hosted::MakeFont(L"Small Fonts", 67500).Get());
    const int defaultHeight = hosted::RowHeightOf(hosted::MakeFont(L"MS Sans Serif", 80000).Get());
    ASSERT_GT(rowHeight, 0);
    ASSERT_LT(rowHeight, defaultHeight);

    box.PumpMessages(50);
    ASSERT_EQ(S_OK, hosted::WriteText(dispatch.Get(), "CONNECT 9600\r\r\rOK"));
    box.PumpMessages(50);
    const tc::Pixels shot = tc::CaptureWindow(box.ControlWindow());
    const std::string profile = hosted::InkProfile(shot, rowHeight);
    for (int row = 0; row < 24; ++row) {
        const bool written = row == 0 || row == 3;
        EXPECT_EQ(written, hosted::InkInRow(shot, row, rowHeight) > 0) << "row " << row << ": " << profile;
    }
}

}  // namespace
