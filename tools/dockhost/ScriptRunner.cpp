#include "ScriptRunner.h"

#include <windows.h>

#include <cstdio>
#include <istream>
#include <stdexcept>

#include "HostText.h"

namespace dockhost {

std::vector<std::string> SplitArguments(const std::string& line) {
    std::vector<std::string> arguments;
    std::string current;
    bool quoted = false, any = false;
    for (char c : line) {
        if (c == '"') {
            quoted = !quoted;
            any = true;
        } else if ((c == ' ' || c == '\t') && !quoted) {
            if (any) arguments.push_back(current);
            current.clear();
            any = false;
        } else {
            current += c;
            any = true;
        }
    }
    if (any) arguments.push_back(current);
    return arguments;
}

bool SetWallpaperValue(const std::wstring& path) {
    HKEY key = nullptr;
    if (::RegCreateKeyExW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                          nullptr) != ERROR_SUCCESS)
        return false;
    const auto bytes = static_cast<DWORD>((path.size() + 1) * sizeof(wchar_t));
    const bool ok = ::RegSetValueExW(key, L"Wallpaper", 0, REG_SZ, reinterpret_cast<const BYTE*>(path.c_str()),
                                     bytes) == ERROR_SUCCESS;
    ::RegCloseKey(key);
    return ok;
}

namespace {

// %NAME% expanded, so that scripts can name the user's folders
// ("%USERPROFILE%\\Desktop\\x.txt").
std::wstring ExpandedPath(const std::string& utf8) {
    const std::wstring text = Utf8ToWide(utf8);
    wchar_t expanded[2048] = {};
    const DWORD length = ::ExpandEnvironmentStringsW(text.c_str(), expanded, 2048);
    return length > 0 && length <= 2048 ? std::wstring(expanded) : text;
}

// While watching, a low-level keyboard hook records every key event that
// reaches the system as a "[keys]" line and stops it there, so that a
// scripted click's key chord is shown instead of acted on.
CallLog* g_keyLog = nullptr;
HHOOK g_keyHook = nullptr;

LRESULT CALLBACK OnKeyEvent(int code, WPARAM wParam, LPARAM lParam) {
    if (code != HC_ACTION || !g_keyLog) return ::CallNextHookEx(nullptr, code, wParam, lParam);
    const auto* event = reinterpret_cast<const KBDLLHOOKSTRUCT*>(lParam);
    char line[160];
    std::snprintf(line, sizeof line, "[keys] vk=0x%02lX scan=0x%02lX %s%s extra=%lu",
                  static_cast<unsigned long>(event->vkCode), static_cast<unsigned long>(event->scanCode),
                  (event->flags & LLKHF_UP) ? "up" : "down", (event->flags & LLKHF_INJECTED) ? " injected" : "",
                  static_cast<unsigned long>(event->dwExtraInfo));
    g_keyLog->Add(line);
    return 1;
}

void WatchKeys(CallLog* log) {
    if (g_keyHook) ::UnhookWindowsHookEx(g_keyHook);
    g_keyHook = nullptr;
    g_keyLog = log;
    if (log) g_keyHook = ::SetWindowsHookExW(WH_KEYBOARD_LL, OnKeyEvent, ::GetModuleHandleW(nullptr), 0);
}

// Low-level hooks run while the installing thread takes messages.
void PumpBriefly() {
    for (int round = 0; round < 10; ++round) {
        MSG message;
        while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&message);
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

uint32_t IdOf(const std::vector<std::string>& args, size_t index = 1) {
    if (args.size() <= index) throw std::runtime_error("missing docklet id");
    return static_cast<uint32_t>(std::stoul(args[index]));
}

void Need(const std::vector<std::string>& args, size_t count) {
    if (args.size() < count) throw std::runtime_error("'" + args[0] + "' needs " + std::to_string(count - 1) + " arguments");
}

}  // namespace

bool ScriptRunner::Run(const std::string& line) {
    const std::vector<std::string> args = SplitArguments(line);
    if (args.empty() || args[0][0] == '#') return true;
    const std::string& command = args[0];

    if (command == "quit") return false;
    if (command == "create") {
        host_.Create(IdOf(args));
    } else if (command == "destroy") {
        host_.Destroy(IdOf(args));
    } else if (command == "draw") {
        Need(args, 4);
        int width = 0, height = 0;
        const size_t x = args[2].find('x');
        if (x == std::string::npos) {
            width = height = std::stoi(args[2]);
        } else {
            width = std::stoi(args[2].substr(0, x));
            height = std::stoi(args[2].substr(x + 1));
        }
        auto result = host_.Draw(IdOf(args), width, height);
        if (result.bitmap) {
            const std::wstring file = Utf8ToWide(args[3]);
            host_.Log().Add(std::string("[host] saved ") + Quoted(args[3]) +
                            (result.SavePng(file) ? "" : " FAILED"));
        }
    } else if (command == "click" || command == "ctrlclick") {
        host_.Click(IdOf(args), command == "ctrlclick");
        if (g_keyHook) PumpBriefly();
    } else if (command == "drop" || command == "ctrldrop") {
        Need(args, 3);
        std::vector<std::wstring> files;
        for (size_t i = 2; i < args.size(); ++i) files.push_back(Utf8ToWide(args[i]));
        host_.DropFiles(IdOf(args), files, command == "ctrldrop");
    } else if (command == "configure") {
        host_.Configure(IdOf(args));
    } else if (command == "timer") {
        host_.FireTimer(IdOf(args), args.size() > 2 ? args[2] : "Korimbo_refresh");
    } else if (command == "set") {
        Need(args, 4);
        host_.Settings().Set(IdOf(args), args[2], Utf8ToWide(args[3]));
        host_.Settings().Commit();
        host_.Log().Add("[host] stored " + args[2] + "=" + Quoted(args[3]) + " for docklet " + args[1]);
    } else if (command == "wallpaper") {
        Need(args, 2);
        // The desktop keeps full paths; a relative one is taken from here.
        const bool ok = SetWallpaperValue(args[1].empty() ? std::wstring() : FullPath(Utf8ToWide(args[1])));
        host_.Log().Add("[host] wallpaper set to " + Quoted(args[1]) + (ok ? "" : " FAILED"));
    } else if (command == "restart") {
        host_.Restart();
    } else if (command == "label") {
        std::fprintf(out_, "label %s: %s\n", args.size() > 1 ? args[1].c_str() : "?",
                     Quoted(WideToUtf8(AnsiToWide(host_.Label(IdOf(args))))).c_str());
    } else if (command == "settings") {
        const uint32_t id = IdOf(args);
        for (const char* key : {"Iconsource", "LastWallpaper", "LastWallpaperFilesize", "IconMode", "Caption",
                                "DummyOverlay"}) {
            const auto value = host_.Settings().Get(id, key);
            std::fprintf(out_, "docklet %u %s = %s\n", id, key,
                         value ? Quoted(WideToUtf8(*value)).c_str() : "(not stored)");
        }
    } else if (command == "watchkeys") {
        Need(args, 2);
        WatchKeys(args[1] == "on" ? &host_.Log() : nullptr);
    } else if (command == "makefile") {
        Need(args, 3);
        const std::wstring path = ExpandedPath(args[1]);
        const bool ok = WriteFileText(path, args[2]);
        host_.Log().Add("[host] made " + Quoted(WideToUtf8(FullPath(path))) + (ok ? "" : " FAILED"));
    } else if (command == "removefile") {
        Need(args, 2);
        ::DeleteFileW(ExpandedPath(args[1]).c_str());
    } else if (command == "exists") {
        Need(args, 2);
        for (size_t i = 1; i < args.size(); ++i) {
            const std::wstring path = ExpandedPath(args[i]);
            const bool there = ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
            std::fprintf(out_, "%s %s\n", there ? "exists: " : "missing:", WideToUtf8(FullPath(path)).c_str());
        }
    } else if (command == "echo") {
        std::fprintf(out_, "%s\n", line.size() > 5 ? line.substr(5).c_str() : "");
    } else {
        throw std::runtime_error("unknown command '" + command + "'");
    }
    std::fflush(out_);
    return true;
}

int ScriptRunner::RunAll(std::istream& lines) {
    std::string line;
    int number = 0;
    while (std::getline(lines, line)) {
        ++number;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        try {
            if (!Run(line)) break;
        } catch (const std::exception& error) {
            std::fprintf(stderr, "line %d: %s\n", number, error.what());
            return 1;
        }
    }
    return 0;
}

}  // namespace dockhost
