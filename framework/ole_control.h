// The OLE control base: what a form container, a script host or another control's dialog
// needs of an ActiveX control. A control class derives from OleControl, describes itself
// with a ControlClassInfo, draws in OnDraw and handles its own dispatch members in
// InvokeControlMember; stock properties, persistence, activation and events live here.
#pragma once
#include <windows.h>
#include <ole2.h>
#include <ocidl.h>
#include <olectl.h>
#include <string>
#include "com_object.h"
#include "com_ptr.h"
#include "connection_point.h"
#include "dispatch.h"
#include "stock_font.h"

namespace fw {

// Stock properties a control offers; the same bits form the mask in the saved state.
enum StockProperty : DWORD {
    kStockBackColor = 0x01,
    kStockCaption = 0x02,
    kStockFont = 0x04,
    kStockBorderStyle = 0x20,
    kStockEnabled = 0x40,
};

struct ControlClassInfo {
    const CLSID* clsid;
    const IID* dispatchIid;       // default dispinterface, described by type library resource 1
    const IID* eventsIid;         // default source dispinterface
    DWORD stockProperties;        // StockProperty bits
    DWORD savedStateVersion;      // first field of the saved state
    DWORD miscStatus;
    UINT userTypeNameId;          // string resource
    const CLSID* propertyPages;
    ULONG propertyPageCount;
    const char* windowClass;      // unique per module
};

class OleControl
    : public ComObject<IDispatch, IOleObject, IOleInPlaceObject, IOleInPlaceActiveObject, IOleControl, IViewObject2,
                       IPersistStreamInit, IPersistPropertyBag, IPersistStorage, IConnectionPointContainer,
                       IProvideClassInfo2, ISpecifyPropertyPages>,
      public DispatchTarget {
public:
    // IDispatch
    STDMETHODIMP GetTypeInfoCount(UINT* count) override;
    STDMETHODIMP GetTypeInfo(UINT index, LCID, ITypeInfo** out) override;
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override;
    STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result, EXCEPINFO* excep,
                        UINT* argError) override;

    // IOleObject
    STDMETHODIMP SetClientSite(IOleClientSite* site) override;
    STDMETHODIMP GetClientSite(IOleClientSite** site) override;
    STDMETHODIMP SetHostNames(LPCOLESTR, LPCOLESTR) override { return S_OK; }
    STDMETHODIMP Close(DWORD saveOption) override;
    STDMETHODIMP SetMoniker(DWORD, IMoniker*) override { return E_NOTIMPL; }
    STDMETHODIMP GetMoniker(DWORD, DWORD, IMoniker** out) override;
    STDMETHODIMP InitFromData(IDataObject*, BOOL, DWORD) override { return E_NOTIMPL; }
    STDMETHODIMP GetClipboardData(DWORD, IDataObject** out) override;
    STDMETHODIMP DoVerb(LONG verb, LPMSG, IOleClientSite* activeSite, LONG, HWND parent, LPCRECT pos) override;
    STDMETHODIMP EnumVerbs(IEnumOLEVERB** out) override;
    STDMETHODIMP Update() override { return S_OK; }
    STDMETHODIMP IsUpToDate() override { return S_OK; }
    STDMETHODIMP GetUserClassID(CLSID* clsid) override;
    STDMETHODIMP GetUserType(DWORD form, LPOLESTR* name) override;
    STDMETHODIMP SetExtent(DWORD aspect, SIZEL* size) override;
    STDMETHODIMP GetExtent(DWORD aspect, SIZEL* size) override;
    STDMETHODIMP Advise(IAdviseSink* sink, DWORD* cookie) override;
    STDMETHODIMP Unadvise(DWORD cookie) override;
    STDMETHODIMP EnumAdvise(IEnumSTATDATA** out) override;
    STDMETHODIMP GetMiscStatus(DWORD aspect, DWORD* status) override;
    STDMETHODIMP SetColorScheme(LOGPALETTE*) override { return E_NOTIMPL; }

    // IOleWindow, IOleInPlaceObject, IOleInPlaceActiveObject
    STDMETHODIMP GetWindow(HWND* window) override;
    STDMETHODIMP ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
    STDMETHODIMP InPlaceDeactivate() override;
    STDMETHODIMP UIDeactivate() override;
    STDMETHODIMP SetObjectRects(LPCRECT pos, LPCRECT clip) override;
    STDMETHODIMP ReactivateAndUndo() override { return E_NOTIMPL; }
    STDMETHODIMP TranslateAccelerator(LPMSG) override { return S_FALSE; }
    STDMETHODIMP OnFrameWindowActivate(BOOL) override { return S_OK; }
    STDMETHODIMP OnDocWindowActivate(BOOL) override { return S_OK; }
    STDMETHODIMP ResizeBorder(LPCRECT, IOleInPlaceUIWindow*, BOOL) override { return S_OK; }
    STDMETHODIMP EnableModeless(BOOL) override { return S_OK; }

    // IOleControl
    STDMETHODIMP GetControlInfo(CONTROLINFO* info) override;
    STDMETHODIMP OnMnemonic(MSG*) override { return E_NOTIMPL; }
    STDMETHODIMP OnAmbientPropertyChange(DISPID id) override;
    STDMETHODIMP FreezeEvents(BOOL freeze) override;

    // IViewObject2
    STDMETHODIMP Draw(DWORD aspect, LONG index, void* aspectInfo, DVTARGETDEVICE* device, HDC targetDc, HDC drawDc,
                      LPCRECTL bounds, LPCRECTL wbounds, BOOL(STDMETHODCALLTYPE* cont)(ULONG_PTR), ULONG_PTR) override;
    STDMETHODIMP GetColorSet(DWORD, LONG, void*, DVTARGETDEVICE*, HDC, LOGPALETTE** out) override;
    STDMETHODIMP Freeze(DWORD, LONG, void*, DWORD*) override { return E_NOTIMPL; }
    STDMETHODIMP Unfreeze(DWORD) override { return E_NOTIMPL; }
    STDMETHODIMP SetAdvise(DWORD aspects, DWORD flags, IAdviseSink* sink) override;
    STDMETHODIMP GetAdvise(DWORD* aspects, DWORD* flags, IAdviseSink** sink) override;
    STDMETHODIMP GetExtent(DWORD aspect, LONG index, DVTARGETDEVICE*, LPSIZEL size) override;

    // IPersist, IPersistStreamInit, IPersistPropertyBag, IPersistStorage
    STDMETHODIMP GetClassID(CLSID* clsid) override;
    STDMETHODIMP IsDirty() override { return dirty_ ? S_OK : S_FALSE; }
    STDMETHODIMP Load(LPSTREAM stream) override;
    STDMETHODIMP Save(LPSTREAM stream, BOOL clearDirty) override;
    STDMETHODIMP GetSizeMax(ULARGE_INTEGER* size) override;
    STDMETHODIMP InitNew() override;
    STDMETHODIMP Load(IPropertyBag* bag, IErrorLog* log) override;
    STDMETHODIMP Save(IPropertyBag* bag, BOOL clearDirty, BOOL saveAll) override;
    STDMETHODIMP InitNew(IStorage* storage) override;
    STDMETHODIMP Load(IStorage* storage) override;
    STDMETHODIMP Save(IStorage* storage, BOOL sameAsLoad) override;
    STDMETHODIMP SaveCompleted(IStorage*) override { return S_OK; }
    STDMETHODIMP HandsOffStorage() override { return S_OK; }

    // IConnectionPointContainer
    STDMETHODIMP EnumConnectionPoints(IEnumConnectionPoints** out) override;
    STDMETHODIMP FindConnectionPoint(REFIID iid, IConnectionPoint** out) override;

    // IProvideClassInfo2
    STDMETHODIMP GetClassInfo(ITypeInfo** out) override;
    STDMETHODIMP GetGUID(DWORD kind, GUID* guid) override;

    // ISpecifyPropertyPages
    STDMETHODIMP GetPages(CAUUID* pages) override;

protected:
    explicit OleControl(const ControlClassInfo& info);
    ~OleControl() override;

    // Drawing: dc receives the output; attributeDc answers metrics (differs for metafiles).
    virtual void OnDraw(HDC dc, HDC attributeDc, const RECT& bounds, const RECT& invalid) = 0;
    // Dispatch members other than the stock properties and AboutBox.
    virtual HRESULT InvokeControlMember(DISPID id, WORD kind, DispatchArgs& args, VARIANT* result,
                                        EXCEPINFO* excep) { return DISP_E_MEMBERNOTFOUND; }
    virtual void OnAboutBox() {}
    // Messages of the control's window; return true when handled (then result is returned).
    virtual bool OnWindowMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) { return false; }
    // The window was created (in place, or hidden of our own) or is about to be destroyed.
    virtual void OnWindowCreated() {}
    virtual void OnWindowDestroying() {}

    HWND Window() const { return window_; }
    // The control's window; without a container a hidden window of our own, so that
    // timers and posted work run when a script creates the control by ProgID.
    HWND EnsureWindow();
    // Destroys and recreates the window with the same parent, place and kind.
    void RecreateControlWindow();
    void InvalidateControl(const RECT* rect = nullptr, bool erase = true);
    // Asks the container for a new size in pixels.
    void SetControlSize(int width, int height);
    void SetModifiedFlag(bool modified = true) { dirty_ = modified; }
    void FireEvent(DISPID id);
    // Stock property values for the derived control's drawing.
    COLORREF TranslateColor(OLE_COLOR color) const;
    OLE_COLOR BackColor() const { return backColor_; }
    IFont* StockFont() const { return font_.Get(); }
    bool AmbientUserMode();
    HRESULT GetAmbientProperty(DISPID id, VARIANT* value);
    const ControlClassInfo& ClassInfo() const { return info_; }

private:
    void* FindInterface(REFIID iid) override;
    HRESULT InvokeMember(DISPID id, WORD kind, DispatchArgs& args, VARIANT* result, EXCEPINFO* excep) override;
    HRESULT InvokeStockProperty(DISPID id, WORD kind, DispatchArgs& args, VARIANT* result, bool* handled);
    void StockPropertyChanged(DISPID id);
    HRESULT InPlaceActivate(LONG verb, HWND parent, LPCRECT pos);
    bool CreateControlWindow(HWND parent, const RECT& pos, bool child);
    void DestroyControlWindow();
    void ResetStockProperties();
    void SetFont(ComPtr<IFont> font);
    void ShowPropertyFrame(HWND parent);
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    HRESULT LoadState(IStream* stream);
    HRESULT SaveState(IStream* stream);

    const ControlClassInfo& info_;
    TypeInfoDispatch dispatch_;
    ComPtr<IOleClientSite> site_;
    ComPtr<IOleInPlaceSite> inPlaceSite_;
    ComPtr<IOleInPlaceFrame> frame_;
    ComPtr<IOleInPlaceUIWindow> document_;
    ComPtr<IOleAdviseHolder> adviseHolder_;
    ComPtr<IAdviseSink> viewSink_;
    DWORD viewAspects_ = 0, viewFlags_ = 0;
    ComPtr<ConnectionPoint> eventPoint_;
    ComPtr<ConnectionPoint> notifyPoint_;
    ComPtr<FontChangeSink> fontSink_;
    HWND window_ = nullptr;
    bool windowIsChild_ = false;
    bool inPlaceActive_ = false;
    bool uiActive_ = false;
    bool dirty_ = false;
    LONG freezeCount_ = 0;
    RECT posRect_ = {0, 0, 0, 0};
    SIZEL extent_ = {2540, 2540};
    DWORD loadedVersion_ = 0;
    // Stock properties.
    OLE_COLOR backColor_;
    short borderStyle_ = 0;
    std::wstring caption_;
    bool enabled_ = true;
    ComPtr<IFont> font_;
};

}  // namespace fw
