// The click and the file drop of the real Korimbo.dll inside the dock host
// emulator: key events seen by a low-level keyboard hook, files really moved
// and copied into the prefix's desktop folder, and the shell calls the
// plug-in makes recorded by patching its import table.
#include <gtest/gtest.h>
#include <windows.h>
// The shell's headers build on windows.h.
#include <shellapi.h>
#include <shlobj.h>

#include <cctype>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "DockHost.h"
#include "ImportPatch.h"  // the emulator's import-table patch
#include "support/TestFolders.h"

namespace korimbo::test {
namespace {

constexpr uint32_t kId = 1;

// The box as the host records it, captioned with this program's name: no
// folder, cut at the first full stop, lower case after the first letter.
std::string DropFailureBox() {
    char path[MAX_PATH] = {};
    ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string caption = path;
    caption.erase(0, caption.find_last_of("\\/") + 1);
    caption.erase(caption.find('.'));
    for (size_t i = 1; i < caption.size(); ++i)
        caption[i] = static_cast<char>(std::tolower(static_cast<unsigned char>(caption[i])));
    return "[box] MessageBox(caption=\"" + caption +
           "\", text=\"File could not be moved/copied.\", icon=no) -> OK";
}

// ---- What the plug-in asks of the shell -----------------------------------

struct FileOperationCall {
    UINT function = 0;
    std::wstring from, to;  // each list up to and including its ending NUL
    FILEOP_FLAGS flags = 0;
    std::wstring title;
    HWND owner = nullptr;
    int result = 0;
};

struct LaunchCall {
    std::wstring verb, file, parameters;
    bool folderGiven = false;
    int show = 0;
};

struct ShellRecorder {
    std::vector<FileOperationCall> operations;
    std::vector<LaunchCall> launches;
    void* realFileOperation = nullptr;
    bool passThrough = true;       // run the real operation after recording it
    int refusal = 0;               // the answer when not passing through
    std::function<void()> during;  // runs inside the call, as the shell's nested loop would
};
ShellRecorder g_shell;

std::wstring CopyList(const wchar_t* list) {
    if (!list) return {};
    size_t length = 0;
    while (!(list[length] == L'\0' && (length == 0 || list[length - 1] == L'\0'))) ++length;
    return std::wstring(list, length + 1);
}

std::wstring List(const std::vector<std::wstring>& names) {
    std::wstring list;
    for (const std::wstring& name : names) list += name + L'\0';
    return list + L'\0';
}

int WINAPI RecordFileOperation(SHFILEOPSTRUCTW* operation) {
    FileOperationCall call{operation->wFunc,
                           CopyList(operation->pFrom),
                           CopyList(operation->pTo),
                           operation->fFlags,
                           operation->lpszProgressTitle ? operation->lpszProgressTitle : L"",
                           operation->hwnd,
                           0};
    if (g_shell.passThrough) {
        using Real = int(WINAPI*)(SHFILEOPSTRUCTW*);
        call.result = reinterpret_cast<Real>(g_shell.realFileOperation)(operation);
    } else {
        call.result = g_shell.refusal;
    }
    g_shell.operations.push_back(call);
    if (g_shell.during) std::exchange(g_shell.during, nullptr)();
    return call.result;
}

HINSTANCE WINAPI RecordShellExecute(HWND, const wchar_t* verb, const wchar_t* file, const wchar_t* parameters,
                                    const wchar_t* folder, int show) {
    g_shell.launches.push_back(
        {verb ? verb : L"", file ? file : L"", parameters ? parameters : L"", folder != nullptr, show});
    return reinterpret_cast<HINSTANCE>(static_cast<uintptr_t>(42));  // above 32: launched
}

// ---- Key events seen by a low-level keyboard hook -------------------------

struct KeySeen {
    DWORD virtualKey, scanCode;
    bool up, injected;
    ULONG_PTR extraInfo;
};
std::vector<KeySeen> g_keys;

// Records the event and keeps it from going further: the test's chord must
// not reach the session it runs in.
LRESULT CALLBACK OnLowLevelKey(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION) {
        const auto* event = reinterpret_cast<const KBDLLHOOKSTRUCT*>(lParam);
        g_keys.push_back({event->vkCode, event->scanCode, (event->flags & LLKHF_UP) != 0,
                          (event->flags & LLKHF_INJECTED) != 0, event->dwExtraInfo});
        return 1;
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

class KeyboardHook {
public:
    KeyboardHook() : hook_(::SetWindowsHookExW(WH_KEYBOARD_LL, OnLowLevelKey, ::GetModuleHandleW(nullptr), 0)) {
        g_keys.clear();
    }
    ~KeyboardHook() {
        if (hook_) ::UnhookWindowsHookEx(hook_);
    }
    KeyboardHook(const KeyboardHook&) = delete;
    KeyboardHook& operator=(const KeyboardHook&) = delete;
    bool Installed() const { return hook_ != nullptr; }

    // Hooks run while the installing thread pumps messages.
    static void Pump() {
        for (int round = 0; round < 20; ++round) {
            MSG message;
            while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&message);
            ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        }
    }

private:
    HHOOK hook_;
};

// ---- Files --------------------------------------------------------------

std::wstring DesktopFolder() {
    wchar_t path[MAX_PATH] = {};
    ::SHGetFolderPathW(nullptr, CSIDL_DESKTOPDIRECTORY, nullptr, 0, path);
    return std::wstring(path) + L"\\";
}

// A file the test puts on the desktop (or expects there), removed afterwards.
class DesktopFile {
public:
    explicit DesktopFile(std::wstring name) : path_(DesktopFolder() + name) { ::DeleteFileW(path_.c_str()); }
    ~DesktopFile() { ::DeleteFileW(path_.c_str()); }
    DesktopFile(const DesktopFile&) = delete;
    DesktopFile& operator=(const DesktopFile&) = delete;
    const std::wstring& Path() const { return path_; }

private:
    std::wstring path_;
};

std::wstring UniqueName(const std::wstring& stem) {
    return L"korimbo-" + std::to_wstring(::GetCurrentProcessId()) + L"-" + stem + L".txt";
}

// The current user's wallpaper value, set for the test's life and put back
// afterwards: the click's snapshot refresh reads it.
class WallpaperValue {
public:
    explicit WallpaperValue(const std::wstring& during) {
        wchar_t value[MAX_PATH * 2] = {};
        DWORD size = sizeof value;
        had_ = ::RegGetValueW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", L"Wallpaper", RRF_RT_REG_SZ, nullptr,
                              value, &size) == ERROR_SUCCESS;
        saved_ = value;
        Set(during);
    }
    ~WallpaperValue() {
        if (had_)
            Set(saved_);
        else
            ::RegDeleteKeyValueW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", L"Wallpaper");
    }
    WallpaperValue(const WallpaperValue&) = delete;
    WallpaperValue& operator=(const WallpaperValue&) = delete;

    static bool Set(const std::wstring& path) {
        return ::RegSetKeyValueW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", L"Wallpaper", REG_SZ, path.c_str(),
                                 static_cast<DWORD>((path.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
    }

private:
    bool had_ = false;
    std::wstring saved_;
};

// ---- The fixture --------------------------------------------------------

struct StagedBase {
    StagedBase() { StagePluginInto(folder.Path()); }
    TempFolder folder;
};

class DesktopActionsTest : public testing::Test {
protected:
    DesktopActionsTest() : host_(Options(base_.folder)) {
        host_.Load();
        host_.Create(kId);
        plugin_ = host_.Module();
        g_shell = ShellRecorder{};
        host_.Log().Clear();
    }

    static std::wstring PluginPath(const TempFolder& base) { return base.Path() + L"Korimbo\\Korimbo.dll"; }
    static dockhost::DockHostOptions Options(const TempFolder& base) {
        dockhost::DockHostOptions options;
        options.pluginPath = PluginPath(base);
        return options;
    }

    // Records the plug-in's SHFileOperationW calls for the life of the result.
    std::unique_ptr<dockhost::ImportPatch> RecordFileOperations() {
        auto patch = std::make_unique<dockhost::ImportPatch>(plugin_, "shell32.dll", "SHFileOperationW",
                                                             reinterpret_cast<const void*>(&RecordFileOperation));
        EXPECT_TRUE(patch->Applied());
        g_shell.realFileOperation = patch->Original<void*>();
        return patch;
    }
    std::unique_ptr<dockhost::ImportPatch> RecordLaunches() {
        auto patch = std::make_unique<dockhost::ImportPatch>(plugin_, "shell32.dll", "ShellExecuteW",
                                                             reinterpret_cast<const void*>(&RecordShellExecute));
        EXPECT_TRUE(patch->Applied());
        return patch;
    }

    std::wstring SourceFile(const std::wstring& name, const std::string& text) {
        const std::wstring path = sources_.File(name);
        WriteWholeFile(path, text);
        return path;
    }

    std::vector<std::string> Boxes() { return host_.Log().Matching("[box] "); }

    WallpaperValue wallpaper_{L""};  // none, unless a test sets one
    StagedBase base_;
    TempFolder sources_;
    dockhost::DockHost host_;
    HMODULE plugin_ = nullptr;
};

// ---- The click ----------------------------------------------------------

TEST_F(DesktopActionsTest, PlainClickSendsWindowsDAndLaunchesNothing) {
    const auto launches = RecordLaunches();
    ASSERT_TRUE(launches->Applied());
    KeyboardHook hook;
    ASSERT_TRUE(hook.Installed());
    EXPECT_TRUE(host_.Click(kId, false));
    KeyboardHook::Pump();

    const DWORD win = VK_LWIN, d = 'D';
    struct Expected {
        DWORD virtualKey;
        bool up;
    };
    const Expected expected[] = {{win, false}, {d, false}, {d, true}, {win, true}};
    ASSERT_EQ(g_keys.size(), 4u);
    for (size_t i = 0; i < 4; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(g_keys[i].virtualKey, expected[i].virtualKey);
        EXPECT_EQ(g_keys[i].up, expected[i].up);
        EXPECT_EQ(g_keys[i].scanCode, ::MapVirtualKeyA(expected[i].virtualKey, MAPVK_VK_TO_VSC));
        EXPECT_TRUE(g_keys[i].injected);
        EXPECT_EQ(g_keys[i].extraInfo, 0u);
    }
    EXPECT_TRUE(g_shell.launches.empty());
    EXPECT_TRUE(Boxes().empty());
}

TEST_F(DesktopActionsTest, ControlClickOpensTheDesktopFolderAndSendsNoKeys) {
    const auto launches = RecordLaunches();
    ASSERT_TRUE(launches->Applied());
    KeyboardHook hook;
    EXPECT_TRUE(host_.Click(kId, true));
    KeyboardHook::Pump();

    EXPECT_TRUE(g_keys.empty());
    ASSERT_EQ(g_shell.launches.size(), 1u);
    const LaunchCall& launch = g_shell.launches[0];
    EXPECT_EQ(launch.file, L"explorer.exe");
    std::wstring desktop = DesktopFolder();
    desktop.pop_back();
    EXPECT_EQ(launch.parameters, desktop);
    EXPECT_EQ(launch.verb, L"open");
    EXPECT_EQ(launch.show, SW_SHOWNORMAL);
    EXPECT_FALSE(launch.folderGiven);
    EXPECT_TRUE(Boxes().empty());
}

// ---- The drop -----------------------------------------------------------

TEST_F(DesktopActionsTest, SingleFileIsMovedToTheDesktop) {
    const DesktopFile target(UniqueName(L"single"));
    const std::wstring source = SourceFile(UniqueName(L"single"), "moved");
    const auto operations = RecordFileOperations();
    ASSERT_TRUE(operations->Applied());

    EXPECT_TRUE(host_.DropFiles(kId, {source}, false));

    ASSERT_EQ(g_shell.operations.size(), 1u);
    EXPECT_EQ(g_shell.operations[0].function, static_cast<UINT>(FO_MOVE));
    EXPECT_EQ(g_shell.operations[0].result, 0);
    EXPECT_FALSE(FileExists(source));
    EXPECT_TRUE(FileExists(target.Path()));
    EXPECT_EQ(ReadWholeFile(target.Path()), std::vector<uint8_t>({'m', 'o', 'v', 'e', 'd'}));
    EXPECT_TRUE(Boxes().empty());
}

TEST_F(DesktopActionsTest, ThreeFilesWithControlAreCopiedInOneOperation) {
    const DesktopFile a(UniqueName(L"copy-a")), b(UniqueName(L"copy-b")), c(UniqueName(L"copy-c"));
    const std::vector<std::wstring> sources = {SourceFile(UniqueName(L"copy-a"), "a"),
                                               SourceFile(UniqueName(L"copy-b"), "b"),
                                               SourceFile(UniqueName(L"copy-c"), "c")};
    const auto operations = RecordFileOperations();

    EXPECT_TRUE(host_.DropFiles(kId, sources, true));

    ASSERT_EQ(g_shell.operations.size(), 1u);
    const FileOperationCall& call = g_shell.operations[0];
    EXPECT_EQ(call.function, static_cast<UINT>(FO_COPY));
    EXPECT_EQ(call.from, List(sources));
    std::wstring desktop = DesktopFolder();
    desktop.pop_back();
    EXPECT_EQ(call.to, List({desktop}));
    EXPECT_EQ(call.flags, FOF_ALLOWUNDO);
    EXPECT_EQ(call.title, L"Dateien kopieren");
    EXPECT_EQ(call.owner, nullptr);
    EXPECT_EQ(call.result, 0);
    for (const std::wstring& source : sources) EXPECT_TRUE(FileExists(source));
    for (const DesktopFile* copy : {&a, &b, &c}) EXPECT_TRUE(FileExists(copy->Path()));
    EXPECT_TRUE(Boxes().empty());
}

TEST_F(DesktopActionsTest, ThreeFilesAreAskedToMoveInOneOperation) {
    const DesktopFile a(UniqueName(L"move-a")), b(UniqueName(L"move-b")), c(UniqueName(L"move-c"));
    const std::vector<std::wstring> sources = {SourceFile(UniqueName(L"move-a"), "a"),
                                               SourceFile(UniqueName(L"move-b"), "b"),
                                               SourceFile(UniqueName(L"move-c"), "c")};
    const auto operations = RecordFileOperations();

    EXPECT_TRUE(host_.DropFiles(kId, sources, false));

    // One move of all three, whatever the shell makes of it (Wine 8 refuses a
    // move of several files into one folder with 1223).
    ASSERT_EQ(g_shell.operations.size(), 1u);
    const FileOperationCall& call = g_shell.operations[0];
    EXPECT_EQ(call.function, static_cast<UINT>(FO_MOVE));
    EXPECT_EQ(call.from, List(sources));
    EXPECT_EQ(call.flags, FOF_ALLOWUNDO);
    EXPECT_EQ(call.title, L"Dateien verschieben");
    std::printf("move of three files: the shell answered %d\n", call.result);
    if (call.result == 0) {
        EXPECT_TRUE(Boxes().empty());
        for (const DesktopFile* moved : {&a, &b, &c}) EXPECT_TRUE(FileExists(moved->Path()));
    } else {
        EXPECT_EQ(Boxes(), std::vector<std::string>{DropFailureBox()});
        for (const std::wstring& source : sources) EXPECT_TRUE(FileExists(source)) << "nothing lost";
    }
}

TEST_F(DesktopActionsTest, RefusedDropShowsTheMessageAndTheNextDropIsClean) {
    const DesktopFile refusedTarget(UniqueName(L"refused"));
    const DesktopFile nextTarget(UniqueName(L"next"));
    const std::wstring refused = SourceFile(UniqueName(L"refused"), "stays");
    const std::wstring next = SourceFile(UniqueName(L"next"), "goes");
    const auto operations = RecordFileOperations();

    g_shell.passThrough = false;
    g_shell.refusal = ERROR_ACCESS_DENIED;
    EXPECT_TRUE(host_.DropFiles(kId, {refused}, false));
    EXPECT_EQ(Boxes(), std::vector<std::string>{DropFailureBox()});
    EXPECT_TRUE(FileExists(refused));

    host_.Log().Clear();
    g_shell.passThrough = true;
    EXPECT_TRUE(host_.DropFiles(kId, {next}, false));
    ASSERT_EQ(g_shell.operations.size(), 2u);
    EXPECT_EQ(g_shell.operations[1].from, List({next}));
    EXPECT_EQ(g_shell.operations[1].result, 0);
    EXPECT_TRUE(Boxes().empty());
    EXPECT_TRUE(FileExists(nextTarget.Path()));
    EXPECT_FALSE(FileExists(refusedTarget.Path()));
}

TEST_F(DesktopActionsTest, DropTheRealShellRefusesShowsTheMessage) {
    // A copy of a file that does not exist: the shell itself answers non-zero.
    const std::wstring missing = sources_.File(UniqueName(L"missing"));
    const auto operations = RecordFileOperations();
    EXPECT_TRUE(host_.DropFiles(kId, {missing}, true));
    ASSERT_EQ(g_shell.operations.size(), 1u);
    EXPECT_EQ(g_shell.operations[0].function, static_cast<UINT>(FO_COPY));
    if (g_shell.operations[0].result != 0)
        EXPECT_EQ(Boxes(), std::vector<std::string>{DropFailureBox()});
    else
        EXPECT_TRUE(Boxes().empty());
    std::printf("copy of a missing file: the shell answered %d\n", g_shell.operations[0].result);
}

TEST_F(DesktopActionsTest, NamesOutsideAsciiAreMovedUnchanged) {
    const std::wstring name = L"korimbo-" + std::to_wstring(::GetCurrentProcessId()) + L"-caf\u00E9 \u00FC.txt";
    const DesktopFile target(name);
    const std::wstring source = SourceFile(name, "accent");
    const auto operations = RecordFileOperations();
    EXPECT_TRUE(host_.DropFiles(kId, {source}, false));
    ASSERT_EQ(g_shell.operations.size(), 1u);
    EXPECT_EQ(g_shell.operations[0].from, List({source}));
    EXPECT_TRUE(FileExists(target.Path()));
    EXPECT_FALSE(FileExists(source));
}

TEST_F(DesktopActionsTest, DropDuringTheShellsOperationIsItsOwnOperation) {
    const DesktopFile a(UniqueName(L"outer-a")), b(UniqueName(L"outer-b")), inner(UniqueName(L"inner"));
    const std::vector<std::wstring> outerSources = {SourceFile(UniqueName(L"outer-a"), "a"),
                                                    SourceFile(UniqueName(L"outer-b"), "b")};
    const std::wstring innerSource = SourceFile(UniqueName(L"inner"), "i");
    const auto operations = RecordFileOperations();
    // The host delivers a drop while the shell's progress window pumps messages.
    g_shell.during = [&] { EXPECT_TRUE(host_.DropFiles(kId, {innerSource}, false)); };

    EXPECT_TRUE(host_.DropFiles(kId, outerSources, true));

    ASSERT_EQ(g_shell.operations.size(), 2u);
    EXPECT_EQ(g_shell.operations[0].from, List(outerSources));
    EXPECT_EQ(g_shell.operations[0].function, static_cast<UINT>(FO_COPY));
    EXPECT_EQ(g_shell.operations[1].from, List({innerSource}));
    EXPECT_EQ(g_shell.operations[1].function, static_cast<UINT>(FO_MOVE));
    EXPECT_TRUE(FileExists(a.Path()));
    EXPECT_TRUE(FileExists(b.Path()));
    EXPECT_TRUE(FileExists(inner.Path()));
    EXPECT_TRUE(Boxes().empty());
}

// Moves that Wine's shell answers differently from Windows': the plug-in asks
// for them as given and reports exactly what the shell answers.
TEST_F(DesktopActionsTest, ShellAnswerDecidesTheMessageForOddMoves) {
    const DesktopFile existing(UniqueName(L"existing"));
    WriteWholeFile(existing.Path(), std::string("old"));
    const std::wstring replacing = SourceFile(UniqueName(L"existing"), "new");
    const std::wstring missing = sources_.File(UniqueName(L"missing-move"));
    const auto operations = RecordFileOperations();

    for (const std::wstring& source : {missing, replacing}) {
        host_.Log().Clear();
        EXPECT_TRUE(host_.DropFiles(kId, {source}, false));
        ASSERT_FALSE(g_shell.operations.empty());
        const FileOperationCall& call = g_shell.operations.back();
        EXPECT_EQ(call.from, List({source}));
        EXPECT_EQ(call.function, static_cast<UINT>(FO_MOVE));
        EXPECT_EQ(Boxes().size(), call.result == 0 ? 0u : 1u);
        std::printf("move %s: the shell answered %d\n",
                    source == missing ? "of a missing file" : "over an existing name", call.result);
    }
    if (g_shell.operations.back().result == 0) {
        EXPECT_EQ(ReadWholeFile(existing.Path()).size(), 3u);
    }
}

TEST_F(DesktopActionsTest, EachClickRefreshesTheSnapshotAfterItsAction) {
    const auto launches = RecordLaunches();
    KeyboardHook hook;
    const std::wstring wallpaper = sources_.File(L"wallpaper.png");
    ASSERT_TRUE(::CopyFileW((base_.folder.Path() + L"Korimbo\\default.png").c_str(), wallpaper.c_str(), FALSE));
    const std::wstring snapshot = base_.folder.Path() + L"Korimbo\\wallpaper.png";
    ::DeleteFileW(snapshot.c_str());
    ASSERT_TRUE(WallpaperValue::Set(wallpaper));
    const int redraws = host_.RedrawRequests(kId);

    EXPECT_TRUE(host_.Click(kId, false));
    KeyboardHook::Pump();
    EXPECT_EQ(g_keys.size(), 4u);
    EXPECT_TRUE(FileExists(snapshot));
    EXPECT_EQ(host_.RedrawRequests(kId), redraws + 1);

    // The wallpaper is unchanged now: the next click leaves the icon alone.
    EXPECT_TRUE(host_.Click(kId, true));
    EXPECT_EQ(g_shell.launches.size(), 1u);
    EXPECT_EQ(host_.RedrawRequests(kId), redraws + 1);
}

}  // namespace
}  // namespace korimbo::test
