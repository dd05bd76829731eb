// Dialogs that host ActiveX controls named in their templates.
#include "control_dialog.h"
#include <string>
#include "module.h"

namespace fw {
namespace {

const WORD kLoadFromStreamMessage = 0x0376;
const LPCSTR kInitDataType = MAKEINTRESOURCEA(240);

// Reads template strings and ordinals, keeping inside the resource's bounds.
class TemplateReader {
public:
    TemplateReader(const BYTE* data, size_t size) : data_(data), size_(size) {}
    bool Ok() const { return ok_; }
    void Align() { offset_ = (offset_ + 3) & ~size_t(3); }
    template <class T>
    T Read() {
        T value{};
        if (offset_ + sizeof(T) > size_) { ok_ = false; return value; }
        CopyMemory(&value, data_ + offset_, sizeof(T));
        offset_ += sizeof(T);
        return value;
    }
    void Skip(size_t bytes) {
        if (offset_ + bytes > size_) ok_ = false;
        else offset_ += bytes;
    }
    // A sz_Or_Ord: 0xFFFF then an ordinal, or a NUL-terminated UTF-16 string.
    std::wstring ReadNameOrOrdinal() {
        WORD first = Read<WORD>();
        if (first == 0xFFFF) { Read<WORD>(); return {}; }
        std::wstring text;
        for (WORD c = first; ok_ && c; c = Read<WORD>()) text.push_back(static_cast<wchar_t>(c));
        return text;
    }
private:
    const BYTE* data_;
    size_t size_;
    size_t offset_ = 0;
    bool ok_ = true;
};

}  // namespace

std::vector<TemplateControl> NamedClassItems(const void* dialogTemplate, size_t size) {
    std::vector<TemplateControl> items;
    TemplateReader in(static_cast<const BYTE*>(dialogTemplate), size);
    const bool extended = size >= 4 && static_cast<const WORD*>(dialogTemplate)[1] == 0xFFFF;
    DWORD style;
    WORD count;
    if (extended) {
        in.Skip(2 * sizeof(WORD) + 2 * sizeof(DWORD));  // version, signature, help id, extended style
        style = in.Read<DWORD>();
    } else {
        style = in.Read<DWORD>();
        in.Skip(sizeof(DWORD));
    }
    count = in.Read<WORD>();
    in.Skip(4 * sizeof(short));
    in.ReadNameOrOrdinal();  // menu
    in.ReadNameOrOrdinal();  // window class
    in.ReadNameOrOrdinal();  // title
    if (style & (DS_SETFONT | DS_SHELLFONT)) {
        in.Skip(sizeof(WORD));
        if (extended) in.Skip(sizeof(WORD) + 2);
        in.ReadNameOrOrdinal();
    }
    for (WORD i = 0; i < count && in.Ok(); ++i) {
        in.Align();
        int id;
        if (extended) {
            in.Skip(3 * sizeof(DWORD) + 4 * sizeof(short));  // help id, extended style, style, place
            id = static_cast<int>(in.Read<DWORD>());
        } else {
            in.Skip(2 * sizeof(DWORD) + 4 * sizeof(short));
            id = in.Read<WORD>();
        }
        std::wstring className = in.ReadNameOrOrdinal();
        in.ReadNameOrOrdinal();  // title
        in.Skip(in.Read<WORD>());  // creation data
        if (in.Ok() && !className.empty()) items.push_back({id, className});
    }
    return items;
}

bool FindControlInitData(const BYTE* records, size_t size, int id, const BYTE** data, size_t* dataSize) {
    size_t offset = 0;
    while (offset + sizeof(WORD) <= size) {
        WORD controlId = *reinterpret_cast<const WORD*>(records + offset);
        if (controlId == 0 || offset + 2 * sizeof(WORD) + sizeof(DWORD) > size) return false;
        WORD message = *reinterpret_cast<const WORD*>(records + offset + 2);
        DWORD length = *reinterpret_cast<const DWORD*>(records + offset + 4);
        offset += 8;
        if (length > size - offset) return false;
        if (controlId == id && message == kLoadFromStreamMessage) {
            *data = records + offset;
            *dataSize = length;
            return true;
        }
        offset += length;
    }
    return false;
}

ControlDialog::~ControlDialog() { DestroyWindow(); }

bool ControlDialog::Create(HWND parent) {
    HINSTANCE module = Module::Instance();
    HRSRC resource = FindResourceA(module, MAKEINTRESOURCEA(templateId_), MAKEINTRESOURCEA(5));  // RT_DIALOG
    if (!resource) return false;
    const void* dialogTemplate = LockResource(LoadResource(module, resource));
    // Items of a CLSID class are created as inert placeholders first, then replaced.
    for (const TemplateControl& item : NamedClassItems(dialogTemplate, SizeofResource(module, resource))) {
        if (item.className.empty() || item.className[0] != L'{') continue;
        WNDCLASSW wc = {};
        if (GetClassInfoW(module, item.className.c_str(), &wc)) continue;
        wc.lpfnWndProc = DefWindowProcW;
        wc.hInstance = module;
        wc.lpszClassName = item.className.c_str();
        RegisterClassW(&wc);
    }
    controlsFailed_ = false;
    window_ = CreateDialogParamA(module, MAKEINTRESOURCEA(templateId_), parent, DialogProc,
                                 reinterpret_cast<LPARAM>(this));
    if (window_ && controlsFailed_) DestroyWindow();
    return window_ != nullptr;
}

void ControlDialog::DestroyWindow() {
    if (window_) ::DestroyWindow(window_);
    window_ = nullptr;
}

IDispatch* ControlDialog::ControlDispatch(int id) const {
    for (const Hosted& h : hosted_)
        if (h.id == id) return h.site->Dispatch();
    return nullptr;
}

bool ControlDialog::CreateHostedControls() {
    HINSTANCE module = Module::Instance();
    const BYTE* records = nullptr;
    size_t recordsSize = 0;
    if (HRSRC init = FindResourceA(module, MAKEINTRESOURCEA(templateId_), kInitDataType)) {
        records = static_cast<const BYTE*>(LockResource(LoadResource(module, init)));
        recordsSize = SizeofResource(module, init);
    }
    std::vector<HWND> placeholders;
    for (HWND child = GetWindow(window_, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        wchar_t className[64] = {};
        GetClassNameW(child, className, 64);
        if (className[0] == L'{') placeholders.push_back(child);
    }
    for (HWND placeholder : placeholders) {
        wchar_t className[64] = {};
        GetClassNameW(placeholder, className, 64);
        CLSID clsid;
        if (FAILED(CLSIDFromString(className, &clsid))) return false;
        const int id = GetDlgCtrlID(placeholder);
        RECT rect;
        GetWindowRect(placeholder, &rect);
        MapWindowPoints(nullptr, window_, reinterpret_cast<POINT*>(&rect), 2);
        const BYTE* state = nullptr;
        size_t stateSize = 0;
        // A record holds a 32-bit header, then the control's saved state.
        if (records && FindControlInitData(records, recordsSize, id, &state, &stateSize) && stateSize >= 4) {
            state += 4;
            stateSize -= 4;
        } else {
            state = nullptr;
            stateSize = 0;
        }
        Hosted hosted = {id, ComPtr<ControlSite>::Attach(new ControlSite(window_))};
        HRESULT hr = hosted.site->CreateControl(clsid, rect, state, stateSize);
        hosted_.push_back(hosted);
        if (FAILED(hr)) return false;
        ::DestroyWindow(placeholder);
        if (HWND control = hosted.site->ControlWindow()) SetWindowLongPtrA(control, GWLP_ID, id);
    }
    return true;
}

void ControlDialog::DestroyHostedControls() {
    for (Hosted& h : hosted_) h.site->Destroy();
    hosted_.clear();
}

INT_PTR CALLBACK ControlDialog::DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        auto* self = reinterpret_cast<ControlDialog*>(lParam);
        SetWindowLongPtrA(dialog, DWLP_USER, lParam);
        self->window_ = dialog;
        if (!self->CreateHostedControls()) {
            self->controlsFailed_ = true;
            return TRUE;
        }
        return self->OnInitDialog();
    }
    auto* self = reinterpret_cast<ControlDialog*>(GetWindowLongPtrA(dialog, DWLP_USER));
    if (!self) return FALSE;
    switch (message) {
    case WM_COMMAND:
        if (LOWORD(wParam) == IDCANCEL) {
            self->OnCancel();
            return TRUE;
        }
        return self->OnCommand(LOWORD(wParam), HIWORD(wParam));
    case WM_DESTROY:
        self->DestroyHostedControls();
        return FALSE;
    case WM_NCDESTROY:
        SetWindowLongPtrA(dialog, DWLP_USER, 0);
        if (self->window_ == dialog) self->window_ = nullptr;
        return FALSE;
    }
    return FALSE;
}

}  // namespace fw
