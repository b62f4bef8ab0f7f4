#include "platform/UserMessages.h"

#include <windows.h>

#include <cctype>

#include "platform/Text.h"

namespace korimbo {

namespace {
MessageSink& Sink() {
    static MessageSink sink;
    return sink;
}
}  // namespace

std::string HostProgramCaption() {
    wchar_t path[MAX_PATH] = {};
    const DWORD length = ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring name(path, length);
    const size_t slash = name.find_last_of(L"\\/");
    if (slash != std::wstring::npos) name.erase(0, slash + 1);
    const size_t dot = name.find(L'.');
    if (dot != std::wstring::npos) name.erase(dot);
    if (name.size() > 1) ::CharLowerBuffW(name.data() + 1, static_cast<DWORD>(name.size() - 1));
    return WideToNarrow(name);
}

void ShowMessage(const std::string& text, MessageKind kind, void* owner) {
    if (Sink()) {
        Sink()(text, kind);
        return;
    }
    const UINT style = MB_OK | MB_TASKMODAL | MB_SETFOREGROUND | (kind == MessageKind::Error ? MB_ICONSTOP : 0);
    // Wide call, so texts from wide paths are shown as they are.
    ::MessageBoxW(static_cast<HWND>(owner), NarrowToWide(text).c_str(), NarrowToWide(HostProgramCaption()).c_str(),
                  style);
}

void SetMessageSinkForTesting(MessageSink sink) { Sink() = std::move(sink); }

}  // namespace korimbo
