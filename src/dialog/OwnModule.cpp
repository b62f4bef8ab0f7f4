#include "dialog/OwnModule.h"

namespace korimbo {

namespace {
// Any address inside this module names it.
const char kAnchor = 0;
}  // namespace

HINSTANCE OwnModule() noexcept {
    HMODULE module = nullptr;
    ::GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                         reinterpret_cast<LPCWSTR>(&kAnchor), &module);
    return module;
}

}  // namespace korimbo
