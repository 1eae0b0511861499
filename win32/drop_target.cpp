#include "win32/drop_target.h"

#include <ole2.h>
#include <shlobj.h>

#include <cstring>
#include <map>
#include <utility>

#include "win32/system_library.h"
#include "win32/text.h"

namespace tavrel {
namespace {

// The names in a drop's list: each ended by a NUL and the list by another,
// read no further than `length` characters.
template <typename Char>
std::vector<std::string> NamesIn(const Char* text, std::size_t length) {
    std::vector<std::string> names;
    for (std::size_t i = 0; i < length && text[i] != Char{};) {
        std::size_t end = i;
        while (end < length && text[end] != Char{}) ++end;
        if constexpr (sizeof(Char) == sizeof(wchar_t)) {
            names.push_back(Utf8(std::wstring_view(text + i, end - i)));
        } else {
            const int size = static_cast<int>(end - i);
            const int wide = ::MultiByteToWideChar(CP_ACP, 0, text + i, size, nullptr, 0);
            std::wstring name(static_cast<std::size_t>(wide), L'\0');
            ::MultiByteToWideChar(CP_ACP, 0, text + i, size, name.data(), wide);
            names.push_back(Utf8(name));
        }
        i = end + 1;
    }
    return names;
}

}  // namespace

std::vector<std::string> DroppedPaths(HGLOBAL block) {
    std::vector<std::string> paths;
    const SIZE_T size = ::GlobalSize(block);
    const auto* bytes = static_cast<const char*>(::GlobalLock(block));
    if (!bytes) return paths;
    DROPFILES header{};
    if (size >= sizeof header) {
        std::memcpy(&header, bytes, sizeof header);
        const std::size_t left = header.pFiles < size ? size - header.pFiles : 0;
        paths = header.fWide
                    ? NamesIn(reinterpret_cast<const wchar_t*>(bytes + header.pFiles), left / sizeof(wchar_t))
                    : NamesIn(bytes + header.pFiles, left);
    }
    ::GlobalUnlock(block);
    return paths;
}

namespace {

// The local files and folders a drag carries; nothing for anything else.
std::vector<std::string> DraggedFiles(IDataObject* data) {
    FORMATETC format{CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    STGMEDIUM medium{};
    if (!data || FAILED(data->GetData(&format, &medium))) return {};
    std::vector<std::string> paths = DroppedPaths(medium.hGlobal);
    if (const auto release = SystemFunction<decltype(::ReleaseStgMedium)>(L"ole32.dll", "ReleaseStgMedium")) {
        release(&medium);
    }
    return paths;
}

class DropTarget final : public IDropTarget {
public:
    DropTarget(HWND window, UINT message, DropFilter takes)
        : window_(window), message_(message), takes_(std::move(takes)) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** out) override {
        if (!out) return E_POINTER;
        if (IsEqualIID(id, IID_IUnknown) || IsEqualIID(id, IID_IDropTarget)) {
            *out = static_cast<IDropTarget*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG left = --references_;
        if (left == 0) delete this;
        return left;
    }

    HRESULT STDMETHODCALLTYPE DragEnter(IDataObject* data, DWORD, POINTL, DWORD* effect) override {
        dragged_ = DraggedFiles(data);
        taken_ = !dragged_.empty() && takes_(dragged_);
        return Answer(effect);
    }
    HRESULT STDMETHODCALLTYPE DragOver(DWORD, POINTL, DWORD* effect) override { return Answer(effect); }
    HRESULT STDMETHODCALLTYPE DragLeave() override {
        dragged_.clear();
        taken_ = false;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Drop(IDataObject* data, DWORD, POINTL, DWORD* effect) override {
        dragged_ = DraggedFiles(data);
        taken_ = !dragged_.empty() && takes_(dragged_);
        Answer(effect);
        if (taken_) {
            // Handled once the source has let go: the install asks questions
            // and copies, and the source would wait for all of it.
            dropped_ = std::move(dragged_);
            ::PostMessageW(window_, message_, 0, 0);
        }
        dragged_.clear();
        taken_ = false;
        return S_OK;
    }

    std::vector<std::string> takeDropped() { return std::exchange(dropped_, {}); }

private:
    ~DropTarget() = default;
    HRESULT Answer(DWORD* effect) const {
        if (!effect) return E_INVALIDARG;
        *effect = taken_ && (*effect & DROPEFFECT_COPY) ? DROPEFFECT_COPY : DROPEFFECT_NONE;
        return S_OK;
    }

    HWND window_;
    UINT message_;
    DropFilter takes_;
    ULONG references_ = 1;
    std::vector<std::string> dragged_, dropped_;
    bool taken_ = false;
};

std::map<HWND, DropTarget*>& Targets() {
    static std::map<HWND, DropTarget*> targets;
    return targets;
}

}  // namespace

bool AcceptFileDrops(HWND window, UINT droppedMessage, DropFilter takes) {
    const auto registerTarget = SystemFunction<decltype(::RegisterDragDrop)>(L"ole32.dll", "RegisterDragDrop");
    auto* target = new DropTarget(window, droppedMessage, std::move(takes));
    if (!UseCom() || !registerTarget || FAILED(registerTarget(window, target))) {
        target->Release();
        ::SetWindowLongPtrW(window, GWL_EXSTYLE, ::GetWindowLongPtrW(window, GWL_EXSTYLE) | WS_EX_ACCEPTFILES);
        return false;
    }
    Targets()[window] = target;  // OLE holds its own reference too
    return true;
}

void StopFileDrops(HWND window) {
    const auto found = Targets().find(window);
    if (found == Targets().end()) return;
    if (const auto revoke = SystemFunction<decltype(::RevokeDragDrop)>(L"ole32.dll", "RevokeDragDrop")) revoke(window);
    found->second->Release();
    Targets().erase(found);
}

std::vector<std::string> TakeDroppedFiles(HWND window) {
    const auto found = Targets().find(window);
    return found == Targets().end() ? std::vector<std::string>{} : found->second->takeDropped();
}

}  // namespace tavrel
