#include "ImportPatch.h"

#include <cstdint>

namespace korimbo::test {

namespace {

void WriteSlot(void** slot, void* value) {
    DWORD previous = 0;
    ::VirtualProtect(slot, sizeof *slot, PAGE_READWRITE, &previous);
    *slot = value;
    ::VirtualProtect(slot, sizeof *slot, previous, &previous);
}

}  // namespace

ImportPatch::ImportPatch(HMODULE module, const wchar_t* library, const char* function, void* replacement) {
    const HMODULE exporter = ::GetModuleHandleW(library);
    if (!module || !exporter) return;
    void* const target = reinterpret_cast<void*>(::GetProcAddress(exporter, function));
    if (!target) return;

    // The loader has bound every import: the slot to patch is the one that
    // holds the exporter's address, whichever descriptor it sits in.
    auto* const base = reinterpret_cast<uint8_t*>(module);
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (imports.VirtualAddress == 0) return;
    for (auto* descriptor = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress);
         descriptor->Name != 0; ++descriptor) {
        for (auto* thunk = reinterpret_cast<IMAGE_THUNK_DATA*>(base + descriptor->FirstThunk);
             thunk->u1.Function != 0; ++thunk) {
            void** slot = reinterpret_cast<void**>(&thunk->u1.Function);
            if (*slot != target) continue;
            slot_ = slot;
            original_ = target;
            WriteSlot(slot_, replacement);
            return;
        }
    }
}

ImportPatch::~ImportPatch() {
    if (slot_) WriteSlot(slot_, original_);
}

}  // namespace korimbo::test
