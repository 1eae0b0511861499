#include "win32/accessible.h"

#include <commctrl.h>
#include <oleacc.h>

#include <atomic>

#include "win32/system_library.h"
#include "win32/text.h"

namespace tavrel {
namespace {

constexpr UINT_PTR kSubclass = 7;
constexpr UINT kDoDefaultAction = WM_APP + 40;  // run from the message loop

bool IsSelf(const VARIANT& child) { return child.vt == VT_I4 && child.lVal == CHILDID_SELF; }

// oleaut32 is loaded with oleacc, at the first request, not at start-up.
BSTR Bstr(const std::string& text) {
    const auto allocate = SystemFunction<decltype(::SysAllocString)>(L"oleaut32.dll", "SysAllocString");
    return allocate ? allocate(Wide(text).c_str()) : nullptr;
}

// The system's object of a control, with the traits put in where they say
// something.
class Accessible final : public IAccessible {
public:
    Accessible(IAccessible* system, HWND control, const AccessibleTraits& traits)
        : system_(system), control_(control), traits_(traits) {}
    Accessible(const Accessible&) = delete;
    Accessible& operator=(const Accessible&) = delete;

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
        if (riid == IID_IUnknown || riid == IID_IDispatch || riid == IID_IAccessible) {
            *out = static_cast<IAccessible*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs_; }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG left = --refs_;
        if (left == 0) delete this;
        return left;
    }

    // IDispatch
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override { return system_->GetTypeInfoCount(count); }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT n, LCID locale, ITypeInfo** info) override {
        return system_->GetTypeInfo(n, locale, info);
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID locale,
                                            DISPID* ids) override {
        return system_->GetIDsOfNames(riid, names, count, locale, ids);
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID riid, LCID locale, WORD flags, DISPPARAMS* params,
                                     VARIANT* result, EXCEPINFO* exception, UINT* argument) override {
        return system_->Invoke(id, riid, locale, flags, params, result, exception, argument);
    }

    // IAccessible: what the traits say, else the system's.
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override {
        if (!IsSelf(child) || !traits_.name) return system_->get_accName(child, name);
        *name = Bstr(traits_.name());
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override {
        if (!IsSelf(child) || traits_.role == 0) return system_->get_accRole(child, role);
        role->vt = VT_I4;
        role->lVal = traits_.role;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override {
        if (!IsSelf(child) || !traits_.act) return system_->get_accDefaultAction(child, action);
        *action = Bstr(traits_.defaultAction);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override {
        if (!IsSelf(child) || !traits_.act) return system_->accDoDefaultAction(child);
        // The action asks its questions in modal boxes: it runs once this
        // request has been answered.
        return ::PostMessageW(control_, kDoDefaultAction, 0, 0) ? S_OK : E_FAIL;
    }

    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override { return system_->get_accParent(parent); }
    HRESULT STDMETHODCALLTYPE get_accChildCount(long* count) override { return system_->get_accChildCount(count); }
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** out) override {
        return system_->get_accChild(child, out);
    }
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override {
        return system_->get_accValue(child, value);
    }
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* text) override {
        if (!IsSelf(child) || !traits_.description) return system_->get_accDescription(child, text);
        *text = Bstr(traits_.description());
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override {
        const HRESULT result = system_->get_accState(child, state);
        if (!IsSelf(child) || FAILED(result) || state->vt != VT_I4) return result;
        if (traits_.focusable) state->lVal |= STATE_SYSTEM_FOCUSABLE;
        if (traits_.focusable && ::GetFocus() == control_) state->lVal |= STATE_SYSTEM_FOCUSED;
        if (traits_.unread) state->lVal |= STATE_SYSTEM_INVISIBLE;
        return result;
    }
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* help) override {
        return system_->get_accHelp(child, help);
    }
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT child, long* topic) override {
        return system_->get_accHelpTopic(file, child, topic);
    }
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* keys) override {
        if (!IsSelf(child) || traits_.keyboardShortcut.empty()) return system_->get_accKeyboardShortcut(child, keys);
        *keys = Bstr(traits_.keyboardShortcut);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* child) override { return system_->get_accFocus(child); }
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* children) override {
        return system_->get_accSelection(children);
    }
    HRESULT STDMETHODCALLTYPE accSelect(long how, VARIANT child) override { return system_->accSelect(how, child); }
    HRESULT STDMETHODCALLTYPE accLocation(long* left, long* top, long* width, long* height, VARIANT child) override {
        return system_->accLocation(left, top, width, height, child);
    }
    HRESULT STDMETHODCALLTYPE accNavigate(long direction, VARIANT start, VARIANT* end) override {
        return system_->accNavigate(direction, start, end);
    }
    HRESULT STDMETHODCALLTYPE accHitTest(long left, long top, VARIANT* child) override {
        return system_->accHitTest(left, top, child);
    }
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT child, BSTR name) override { return system_->put_accName(child, name); }
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT child, BSTR value) override {
        return system_->put_accValue(child, value);
    }

private:
    ~Accessible() { system_->Release(); }

    IAccessible* system_;
    HWND control_;
    AccessibleTraits traits_;
    std::atomic<ULONG> refs_{1};
};

LRESULT CALLBACK Proc(HWND control, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id, DWORD_PTR data) noexcept {
    auto* traits = reinterpret_cast<AccessibleTraits*>(data);
    switch (message) {
        case WM_GETOBJECT: {
            if (static_cast<LONG>(lParam) != OBJID_CLIENT || !UseCom()) break;
            const auto createStd = SystemFunction<decltype(::CreateStdAccessibleObject)>(
                L"oleacc.dll", "CreateStdAccessibleObject");
            const auto lresult = SystemFunction<decltype(::LresultFromObject)>(L"oleacc.dll", "LresultFromObject");
            IAccessible* system = nullptr;
            if (!createStd || !lresult ||
                FAILED(createStd(control, OBJID_CLIENT, IID_IAccessible, reinterpret_cast<void**>(&system)))) {
                break;
            }
            auto* object = new Accessible(system, control, *traits);
            const LRESULT result = lresult(IID_IAccessible, wParam, object);
            object->Release();
            return result;
        }
        case kDoDefaultAction:
            if (traits->act) {
                const std::function<void()> act = traits->act;  // the action may end the control
                act();
            }
            return 0;
        case WM_NCDESTROY:
            ::RemoveWindowSubclass(control, Proc, id);
            delete traits;
            break;
        default:
            break;
    }
    return ::DefSubclassProc(control, message, wParam, lParam);
}

}  // namespace

void ServeAccessible(HWND control, AccessibleTraits traits) {
    ::SetWindowSubclass(control, Proc, kSubclass, reinterpret_cast<DWORD_PTR>(new AccessibleTraits(std::move(traits))));
}

void AnnounceNameChange(HWND control) { ::NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, control, OBJID_CLIENT, CHILDID_SELF); }

}  // namespace tavrel
