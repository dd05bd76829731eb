// Property pages on dialog templates.
#include "property_page.h"
#include "bstr.h"
#include "registration.h"

namespace fw {

PropertyPage::~PropertyPage() { Deactivate(); }

void* PropertyPage::FindInterface(REFIID iid) {
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IPropertyPage)) return static_cast<IPropertyPage*>(this);
    return nullptr;
}

INT_PTR CALLBACK PropertyPage::DialogProc(HWND, UINT message, WPARAM, LPARAM) {
    return message == WM_INITDIALOG;
}

STDMETHODIMP PropertyPage::SetPageSite(IPropertyPageSite* site) {
    site_ = site;
    return S_OK;
}

STDMETHODIMP PropertyPage::Activate(HWND parent, LPCRECT rect, BOOL) {
    if (page_) return E_UNEXPECTED;
    page_ = CreateDialogParamA(Module::Instance(), MAKEINTRESOURCEA(dialogId_), parent, DialogProc, 0);
    if (!page_) return E_FAIL;
    ExchangeData(page_, false);
    if (rect) Move(rect);
    return S_OK;
}

STDMETHODIMP PropertyPage::Deactivate() {
    if (page_) DestroyWindow(page_);
    page_ = nullptr;
    return S_OK;
}

STDMETHODIMP PropertyPage::GetPageInfo(PROPPAGEINFO* info) {
    if (!info) return E_POINTER;
    std::wstring title = AnsiToWide(LoadResourceString(captionId_));
    info->cb = sizeof *info;
    info->pszTitle = static_cast<LPOLESTR>(CoTaskMemAlloc((title.size() + 1) * sizeof(wchar_t)));
    if (!info->pszTitle) return E_OUTOFMEMORY;
    lstrcpyW(info->pszTitle, title.c_str());
    // The page's size in pixels: create it hidden once to let the dialog manager measure it.
    info->size = {250, 62};
    HWND probe = CreateDialogParamA(Module::Instance(), MAKEINTRESOURCEA(dialogId_), GetDesktopWindow(),
                                    DialogProc, 0);
    if (probe) {
        RECT r;
        GetWindowRect(probe, &r);
        info->size = {r.right - r.left, r.bottom - r.top};
        DestroyWindow(probe);
    }
    info->pszDocString = nullptr;
    info->pszHelpFile = nullptr;
    info->dwHelpContext = 0;
    return S_OK;
}

STDMETHODIMP PropertyPage::SetObjects(ULONG count, IUnknown** objects) {
    if (count && !objects) return E_POINTER;
    objects_.clear();
    for (ULONG i = 0; i < count; ++i) objects_.emplace_back(objects[i]);
    return S_OK;
}

STDMETHODIMP PropertyPage::Show(UINT command) {
    if (!page_) return E_UNEXPECTED;
    ShowWindow(page_, command);
    return S_OK;
}

STDMETHODIMP PropertyPage::Move(LPCRECT rect) {
    if (!rect) return E_POINTER;
    if (!page_) return E_UNEXPECTED;
    MoveWindow(page_, rect->left, rect->top, rect->right - rect->left, rect->bottom - rect->top, TRUE);
    return S_OK;
}

STDMETHODIMP PropertyPage::Apply() {
    if (page_) ExchangeData(page_, true);
    dirty_ = false;
    return S_OK;
}

}  // namespace fw
