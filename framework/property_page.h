// A property page on a dialog template of the module: IPropertyPage for the frame that
// OleCreatePropertyFrame builds. The page's caption is a string resource.
#pragma once
#include <windows.h>
#include <ole2.h>
#include <ocidl.h>
#include <vector>
#include "com_object.h"
#include "com_ptr.h"

namespace fw {

class PropertyPage : public ComObject<IPropertyPage> {
public:
    PropertyPage(UINT dialogId, UINT captionId) : dialogId_(dialogId), captionId_(captionId) {}
    ~PropertyPage() override;

    STDMETHODIMP SetPageSite(IPropertyPageSite* site) override;
    STDMETHODIMP Activate(HWND parent, LPCRECT rect, BOOL modal) override;
    STDMETHODIMP Deactivate() override;
    STDMETHODIMP GetPageInfo(PROPPAGEINFO* info) override;
    STDMETHODIMP SetObjects(ULONG count, IUnknown** objects) override;
    STDMETHODIMP Show(UINT command) override;
    STDMETHODIMP Move(LPCRECT rect) override;
    STDMETHODIMP IsPageDirty() override { return dirty_ ? S_OK : S_FALSE; }
    STDMETHODIMP Apply() override;
    STDMETHODIMP Help(LPCOLESTR) override { return E_NOTIMPL; }
    STDMETHODIMP TranslateAccelerator(MSG*) override { return S_FALSE; }

protected:
    // Moves values between the page's controls and the objects; nothing by default.
    virtual void ExchangeData(HWND page, bool toObjects) {}

private:
    void* FindInterface(REFIID iid) override;
    static INT_PTR CALLBACK DialogProc(HWND, UINT, WPARAM, LPARAM);
    UINT dialogId_, captionId_;
    ComPtr<IPropertyPageSite> site_;
    std::vector<ComPtr<IUnknown>> objects_;
    HWND page_ = nullptr;
    bool dirty_ = false;
};

}  // namespace fw
