// The container's call order and the QuickActivate data, checked against a small fake control
// registered for this process only (CoRegisterClassObject), which records what it is given.
#include <gtest/gtest.h>

#include <olectl.h>
#include <algorithm>
#include <string>
#include <vector>
#include "framework/bstr.h"
#include "test_container.h"

namespace {

const CLSID kFakeClsid = {0x6A3C1E52, 0x0B7D, 0x4F0E, {0x9C, 0x11, 0x52, 0x7A, 0x3E, 0x90, 0x41, 0x0D}};
const IID kFakeEvents = {0x6A3C1E53, 0x0B7D, 0x4F0E, {0x9C, 0x11, 0x52, 0x7A, 0x3E, 0x90, 0x41, 0x0D}};

// What the fake is set up to do and what it saw; one per test.
struct FakeLog {
    DWORD misc = OLEMISC_SETCLIENTSITEFIRST;
    bool offerQuickActivate = false;
    std::vector<std::string> calls;
    QACONTAINER quick{};
    RECT verbRect{};
    fw::ComPtr<IDispatch> eventSink;  // from QuickActivate
    fw::Bstr fontName;
};
FakeLog* g_log = nullptr;

class FakeControl final : public IOleObject, public IPersistStreamInit, public IQuickActivate,
                          public IProvideClassInfo2 {
public:
    // IUnknown
    STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
        *out = nullptr;
        if (iid == IID_IUnknown || iid == IID_IOleObject) *out = static_cast<IOleObject*>(this);
        else if (iid == IID_IPersistStreamInit) *out = static_cast<IPersistStreamInit*>(this);
        else if (iid == IID_IQuickActivate && g_log->offerQuickActivate) *out = static_cast<IQuickActivate*>(this);
        else if (iid == IID_IProvideClassInfo || iid == IID_IProvideClassInfo2) *out = static_cast<IProvideClassInfo2*>(this);
        else return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return ++refs_; }
    STDMETHODIMP_(ULONG) Release() override {
        const ULONG left = --refs_;
        if (!left) delete this;
        return left;
    }
    // IOleObject
    STDMETHODIMP SetClientSite(IOleClientSite* site) override {
        Note(site ? "SetClientSite" : "SetClientSite null");
        site_ = fw::ComPtr<IOleClientSite>(site);
        return S_OK;
    }
    STDMETHODIMP GetClientSite(IOleClientSite** site) override { *site = nullptr; return E_NOTIMPL; }
    STDMETHODIMP SetHostNames(LPCOLESTR, LPCOLESTR) override { return Note("SetHostNames"); }
    STDMETHODIMP Close(DWORD) override { return Note("Close"); }
    STDMETHODIMP SetMoniker(DWORD, IMoniker*) override { return E_NOTIMPL; }
    STDMETHODIMP GetMoniker(DWORD, DWORD, IMoniker**) override { return E_NOTIMPL; }
    STDMETHODIMP InitFromData(IDataObject*, BOOL, DWORD) override { return E_NOTIMPL; }
    STDMETHODIMP GetClipboardData(DWORD, IDataObject**) override { return E_NOTIMPL; }
    STDMETHODIMP DoVerb(LONG verb, MSG*, IOleClientSite*, LONG, HWND, LPCRECT rect) override {
        if (rect) g_log->verbRect = *rect;
        return Note("DoVerb " + std::to_string(verb));
    }
    STDMETHODIMP EnumVerbs(IEnumOLEVERB**) override { return E_NOTIMPL; }
    STDMETHODIMP Update() override { return S_OK; }
    STDMETHODIMP IsUpToDate() override { return S_OK; }
    STDMETHODIMP GetUserClassID(CLSID* clsid) override { *clsid = kFakeClsid; return S_OK; }
    STDMETHODIMP GetUserType(DWORD, LPOLESTR*) override { return E_NOTIMPL; }
    STDMETHODIMP SetExtent(DWORD, SIZEL*) override { return Note("SetExtent"); }
    STDMETHODIMP GetExtent(DWORD, SIZEL*) override { return E_NOTIMPL; }
    STDMETHODIMP Advise(IAdviseSink*, DWORD* cookie) override { *cookie = 1; return Note("Advise"); }
    STDMETHODIMP Unadvise(DWORD) override { return Note("Unadvise"); }
    STDMETHODIMP EnumAdvise(IEnumSTATDATA**) override { return E_NOTIMPL; }
    STDMETHODIMP GetMiscStatus(DWORD, DWORD* misc) override { *misc = g_log->misc; return Note("GetMiscStatus"); }
    STDMETHODIMP SetColorScheme(LOGPALETTE*) override { return E_NOTIMPL; }
    // IPersistStreamInit
    STDMETHODIMP GetClassID(CLSID* clsid) override { *clsid = kFakeClsid; return S_OK; }
    STDMETHODIMP IsDirty() override { return S_FALSE; }
    STDMETHODIMP Load(IStream*) override { return Note("Load"); }
    STDMETHODIMP Save(IStream*, BOOL) override { return Note("Save"); }
    STDMETHODIMP GetSizeMax(ULARGE_INTEGER*) override { return E_NOTIMPL; }
    STDMETHODIMP InitNew() override { return Note("InitNew"); }
    // IQuickActivate: keeps the site and the event sink, as a control does.
    STDMETHODIMP QuickActivate(QACONTAINER* container, QACONTROL* control) override {
        Note("QuickActivate");
        g_log->quick = *container;
        site_ = fw::ComPtr<IOleClientSite>(container->pClientSite);
        if (container->pUnkEventSink)
            container->pUnkEventSink->QueryInterface(kFakeEvents, g_log->eventSink.OutVoid());
        if (container->pFont) container->pFont->get_Name(g_log->fontName.OutPtr());
        g_log->quick.pFont = nullptr;  // not kept
        control->dwMiscStatus = g_log->misc;
        return S_OK;
    }
    STDMETHODIMP SetContentExtent(SIZEL*) override { return Note("SetContentExtent"); }
    STDMETHODIMP GetContentExtent(SIZEL*) override { return E_NOTIMPL; }
    // IProvideClassInfo2
    STDMETHODIMP GetClassInfo(ITypeInfo** info) override { *info = nullptr; return E_NOTIMPL; }
    STDMETHODIMP GetGUID(DWORD kind, GUID* guid) override {
        if (kind != GUIDKIND_DEFAULT_SOURCE_DISP_IID) return E_INVALIDARG;
        *guid = kFakeEvents;
        return S_OK;
    }

private:
    HRESULT Note(const std::string& call) {
        g_log->calls.push_back(call);
        return S_OK;
    }
    ULONG refs_ = 0;
    fw::ComPtr<IOleClientSite> site_;
};

class FakeFactory final : public IClassFactory {
public:
    STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
        *out = (iid == IID_IUnknown || iid == IID_IClassFactory) ? static_cast<IClassFactory*>(this) : nullptr;
        return *out ? S_OK : E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return 2; }  // static lifetime
    STDMETHODIMP_(ULONG) Release() override { return 1; }
    STDMETHODIMP CreateInstance(IUnknown* outer, REFIID iid, void** out) override {
        *out = nullptr;
        if (outer) return CLASS_E_NOAGGREGATION;
        fw::ComPtr<IOleObject> control(static_cast<IOleObject*>(new FakeControl));
        return control->QueryInterface(iid, out);
    }
    STDMETHODIMP LockServer(BOOL) override { return S_OK; }
};

// COM for the test, the fake class registered, and the record it writes into.
class FakeControlTest : public ::testing::Test {
protected:
    void SetUp() override {
        g_log = &log;
        ASSERT_EQ(S_OK, CoRegisterClassObject(kFakeClsid, &factory, CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE, &cookie));
    }
    void TearDown() override {
        CoRevokeClassObject(cookie);
        g_log = nullptr;
    }
    int CallIndex(const std::string& call) const {
        for (size_t i = 0; i < log.calls.size(); ++i)
            if (log.calls[i] == call) return static_cast<int>(i);
        return -1;
    }
    std::string CallsText() const {
        std::string text;
        for (const auto& c : log.calls) text += c + ", ";
        return text;
    }

    tc::OleSession ole;
    FakeFactory factory;
    DWORD cookie = 0;
    FakeLog log;
};

TEST_F(FakeControlTest, ClientSiteComesBeforeOrAfterLoadAsMiscStatusAsks) {
    struct Case { DWORD misc; bool siteFirst; };
    const Case cases[] = {{OLEMISC_SETCLIENTSITEFIRST, true}, {0, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.siteFirst ? "SETCLIENTSITEFIRST" : "no SETCLIENTSITEFIRST");
        log = FakeLog{};
        log.misc = c.misc;
        tc::ContainerOptions options;
        options.strict = false;  // the fake has no view, control or connection points
        tc::TestContainer box(options);
        ASSERT_EQ(S_OK, box.Create(kFakeClsid, {50, 30})) << box.LastError();
        const int site = CallIndex("SetClientSite"), init = CallIndex("InitNew");
        ASSERT_GE(site, 0) << CallsText();
        ASSERT_GE(init, 0) << CallsText();
        EXPECT_EQ(c.siteFirst, site < init) << CallsText();
        // Then the rest of the sequence, in order, ending with the two verbs.
        const std::vector<std::string> tail = {"SetHostNames", "Advise", "SetExtent", "DoVerb -5", "DoVerb -1"};
        int last = std::max(site, init);
        for (const std::string& call : tail) {
            const int at = CallIndex(call);
            EXPECT_GT(at, last) << call << ": " << CallsText();
            last = at;
        }
        EXPECT_EQ(box.SiteRect().left, log.verbRect.left);
        EXPECT_EQ(box.SiteRect().right, log.verbRect.right);
        EXPECT_EQ(S_OK, box.Close());
        EXPECT_GT(CallIndex("SetClientSite null"), CallIndex("Close")) << CallsText();
        EXPECT_GE(CallIndex("Unadvise"), 0) << CallsText();
    }
}

TEST_F(FakeControlTest, SavedStateIsLoadedInsteadOfInitNew) {
    tc::ContainerOptions options;
    options.strict = false;
    tc::TestContainer box(options);
    fw::ComPtr<IStream> saved;
    ASSERT_EQ(S_OK, CreateStreamOnHGlobal(nullptr, TRUE, saved.ReleaseAndGetAddressOf()));
    ASSERT_EQ(S_OK, box.Create(kFakeClsid, {50, 30}, saved.Get())) << box.LastError();
    EXPECT_GE(CallIndex("Load"), 0) << CallsText();
    EXPECT_LT(CallIndex("InitNew"), 0) << CallsText();
    fw::ComPtr<IStream> again;
    EXPECT_EQ(S_OK, box.SaveToStream(again.ReleaseAndGetAddressOf()));
    EXPECT_GE(CallIndex("Save"), 0) << CallsText();
}

TEST_F(FakeControlTest, InvisibleAtRunTimeIsNeverActivated) {
    log.misc = OLEMISC_SETCLIENTSITEFIRST | OLEMISC_INVISIBLEATRUNTIME;
    tc::ContainerOptions options;
    options.strict = false;
    tc::TestContainer box(options);
    ASSERT_EQ(S_OK, box.Create(kFakeClsid, {16, 16})) << box.LastError();
    EXPECT_LT(CallIndex("DoVerb -5"), 0) << CallsText();
    EXPECT_LT(CallIndex("DoVerb -1"), 0) << CallsText();
}

TEST_F(FakeControlTest, QuickActivateHandsOverSiteSinksAndAmbients) {
    log.offerQuickActivate = true;
    log.misc = OLEMISC_SETCLIENTSITEFIRST | OLEMISC_ACTIVATEWHENVISIBLE;
    tc::ContainerOptions options;
    options.strict = false;
    options.quickActivate = true;
    tc::TestContainer box(options);
    ASSERT_EQ(S_OK, box.Create(kFakeClsid, {50, 30})) << box.LastError();
    EXPECT_TRUE(box.QuickActivated());
    EXPECT_EQ(log.misc, box.MiscStatus());

    // QuickActivate replaced SetClientSite and came before InitNew.
    EXPECT_LT(CallIndex("SetClientSite"), 0) << CallsText();
    EXPECT_LT(CallIndex("QuickActivate"), CallIndex("InitNew")) << CallsText();
    const QACONTAINER& q = log.quick;
    EXPECT_EQ(sizeof(QACONTAINER), q.cbSize);
    EXPECT_EQ(box.Site(), q.pClientSite);
    EXPECT_NE(nullptr, q.pAdviseSink);
    EXPECT_NE(nullptr, q.pPropertyNotifySink);
    EXPECT_NE(nullptr, q.pOleControlSite);
    EXPECT_TRUE(q.dwAmbientFlags & QACONTAINER_USERMODE);
    EXPECT_FALSE(q.dwAmbientFlags & QACONTAINER_MESSAGEREFLECT);
    EXPECT_EQ(0x8000000Fu, q.colorBack);
    EXPECT_EQ(0x80000012u, q.colorFore);
    EXPECT_EQ(0x0409, q.lcid);
    EXPECT_STREQ(L"MS Sans Serif", log.fontName.Get());

    // The event sink it was given answers the event interface and records what is fired.
    ASSERT_TRUE(log.eventSink);
    DISPPARAMS none{};
    EXPECT_EQ(S_OK, log.eventSink->Invoke(3, IID_NULL, 0, DISPATCH_METHOD, &none, nullptr, nullptr, nullptr));
    EXPECT_EQ(std::vector<DISPID>{3}, box.FiredEvents());
    log.eventSink.Reset();

    EXPECT_EQ(S_OK, box.Close());
    EXPECT_GE(CallIndex("SetClientSite null"), 0) << CallsText();
}

}  // namespace
