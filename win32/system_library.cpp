#include "win32/system_library.h"

#include <ole2.h>

namespace tavrel {

bool UseCom() {
    static const bool ready = [] {
        const auto initialize = SystemFunction<decltype(::OleInitialize)>(L"ole32.dll", "OleInitialize");
        return initialize && SUCCEEDED(initialize(nullptr));
    }();
    return ready;
}

}  // namespace tavrel
