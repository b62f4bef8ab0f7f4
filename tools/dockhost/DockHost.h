// A dock host emulator: loads a plug-in library, hands it an operation table
// laid out from the host's side (HostTableLayout.h), keeps per-docklet data,
// labels, timers and settings, and calls the plug-in's handlers the way a
// dock does. Every call in either direction is recorded in the call log.
#pragma once

#include <windows.h>

#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "CallLog.h"
#include "MessageBoxAnswerer.h"
#include "SettingsStore.h"

namespace dockhost {

struct DockHostOptions {
    std::wstring pluginPath;    // the plug-in library
    std::wstring baseFolder;    // answer of GetBaseFolder; empty: the folder above the plug-in's
    std::wstring settingsFile;  // empty: settings in memory only
    int iconWidth = 48;         // answer of GetIconRect
    int iconHeight = 48;
    std::optional<uint16_t> hostFpuControlWord;  // the x87 control word the host runs with
    bool answerMessageBoxes = true;              // headless: record and close every message box
};

// A plug-in's three entry points, for a plug-in linked into the same program
// (unit tests) instead of loaded from a library.
struct PluginEntryPoints {
    uint8_t(__stdcall* initialize)(void* table) = nullptr;
    uint8_t(__stdcall* finalize)() = nullptr;
    uint16_t(__stdcall* magicId)() = nullptr;
};

struct TimerInfo {
    std::string name;
    uint32_t milliseconds = 0;
};

class DockHost {
public:
    explicit DockHost(DockHostOptions options);
    ~DockHost();
    DockHost(const DockHost&) = delete;
    DockHost& operator=(const DockHost&) = delete;

    // Loads the library, checks its three exports and initializes it.
    void Load();
    // Initializes a plug-in that is part of this program.
    void LoadInProcess(const PluginEntryPoints& entryPoints);
    // Destroys the remaining docklets, finalizes and unloads the plug-in.
    void Unload();
    // Unload, forget everything but the settings file, Load again.
    void Restart();
    bool Loaded() const { return entryPoints_.initialize != nullptr; }
    // The loaded library; null for a plug-in linked into this program.
    HMODULE Module() const { return module_; }

    uint16_t MagicId() const;
    bool InitializeResult() const { return initializeResult_; }

    bool Create(uint32_t id);
    bool Destroy(uint32_t id);
    bool Click(uint32_t id, bool control);
    // One handler call per file, index 0..n-1 and count n; Control is held
    // during the calls when control is set.
    bool DropFiles(uint32_t id, const std::vector<std::wstring>& paths, bool control);
    bool Configure(uint32_t id);
    bool FireTimer(uint32_t id, const std::string& name);
    bool Ignored(uint32_t a, uint32_t b, uint32_t c);

    // Asks for the docklet's picture at the given size. The host owns the
    // bitmap it receives (null when the plug-in left the handle alone).
    struct DrawResult {
        bool answer = false;
        void* bitmap = nullptr;  // a GpBitmap*, disposed of by ~DrawResult
        DrawResult() = default;
        DrawResult(DrawResult&& other) noexcept;
        DrawResult& operator=(DrawResult&&) = delete;
        ~DrawResult();
        // Width, height and pixels (32bpp ARGB, top-down) of the bitmap.
        int Width() const;
        int Height() const;
        std::vector<uint32_t> Pixels() const;
        bool SavePng(const std::wstring& path) const;
    };
    DrawResult Draw(uint32_t id, int width, int height);

    void SetIconSize(int width, int height);
    void SetHostFpuControlWord(std::optional<uint16_t> word) { options_.hostFpuControlWord = word; }

    // What the plug-in told the host.
    std::string PluginName() const { return pluginName_; }
    std::string Label(uint32_t id) const;
    void* DockletData(uint32_t id) const;
    std::vector<TimerInfo> Timers(uint32_t id) const;
    int RedrawRequests(uint32_t id) const;
    std::array<std::optional<uint32_t>, 3> Switches() const { return switches_; }
    uint32_t PluginWord() const;  // the table word plug-ins may use for themselves
    int FpuViolations() const { return fpuViolations_; }
    bool HandlersPublished() const;

    // A visible dock reacts to what the plug-in asks for.
    struct Observer {
        std::function<void(uint32_t id)> redrawRequested;
        std::function<void(uint32_t id, const TimerInfo& timer)> timerStarted;
    };
    void SetObserver(Observer observer) { observer_ = std::move(observer); }
    std::vector<uint32_t> DockletIds() const;

    SettingsStore& Settings() { return settings_; }
    CallLog& Log() { return log_; }
    const std::wstring& BaseFolder() const { return baseFolder_; }
    // The narrow base folder handed to the plug-in.
    std::string BaseFolderAnsi() const { return baseFolderAnsi_; }

    // A host that has lost track of a docklet answers GetDockletData with null.
    void ForgetDockletData(uint32_t id);

private:
    struct Docklet {
        void* data = nullptr;
        std::string label;
        std::vector<TimerInfo> timers;
        int redrawRequests = 0;
    };

    // Host operations, called by the plug-in with the context word first.
    static void __stdcall OpRegisterPluginName(uint32_t context, const char* name);
    static const char* __stdcall OpGetBaseFolder(uint32_t context);
    static void __stdcall OpSetDockletLabel(uint32_t context, uint32_t id, const char* text);
    static void __stdcall OpSetDockletData(uint32_t context, uint32_t id, void* data);
    static void* __stdcall OpGetDockletData(uint32_t context, uint32_t id);
    static void __stdcall OpHostSwitchA(uint32_t context, uint32_t value);
    static void __stdcall OpHostSwitchB(uint32_t context, uint32_t value);
    static void __stdcall OpHostSwitchC(uint32_t context, uint32_t value);
    static void __stdcall OpGetIconRect(RECT* rect, uint32_t context, uint32_t id);
    static void __stdcall OpStartNamedTimer(uint32_t context, uint32_t id, const char* name, uint32_t ms,
                                            uint32_t flag);
    static void __stdcall OpWriteSettingInteger(uint32_t context, uint32_t id, const char* key, int32_t value);
    static void __stdcall OpWriteSettingBool(uint32_t context, uint32_t id, const char* key, uint32_t value);
    static void __stdcall OpWriteSettingString(uint32_t context, uint32_t id, const char* key, const char* text);
    static void __stdcall OpWriteSettingWideString(uint32_t context, uint32_t id, const char* key,
                                                   const wchar_t* text);
    static int32_t __stdcall OpCommitSettings(uint32_t context);
    static void __stdcall OpReadSettingInteger(uint32_t context, uint32_t id, const char* key, int32_t fallback,
                                               int32_t* value);
    static void __stdcall OpReadSettingBool(uint32_t context, uint32_t id, const char* key, uint32_t fallback,
                                            uint8_t* value);
    static void __stdcall OpReadSettingString(uint32_t context, uint32_t id, const char* key, const char* fallback,
                                              char* buffer, uint32_t capacity);
    static void __stdcall OpReadSettingWideString(uint32_t context, uint32_t id, const char* key,
                                                  const wchar_t* fallback, wchar_t* buffer, uint32_t capacity);
    static void __stdcall OpRequestRedraw(uint32_t context, uint32_t id);

    static DockHost& From(uint32_t context);
    void FillTable();
    void PutOperation(size_t offset, const void* code);
    uint32_t Word(size_t offset) const;
    template <class Handler>
    Handler Slot(size_t offset) const;
    // Runs a plug-in call under the host's control word and checks that the
    // plug-in gave it back unchanged.
    template <class Call>
    auto AsHost(const char* what, Call&& call);

    Docklet& At(uint32_t id);
    void Initialize();
    void HoldControl(bool held);

    DockHostOptions options_;
    CallLog log_;
    std::unique_ptr<MessageBoxAnswerer> answerer_;
    SettingsStore settings_;
    std::wstring baseFolder_;
    std::string baseFolderAnsi_;
    alignas(4) std::array<uint8_t, 512> table_{};
    HMODULE module_ = nullptr;
    PluginEntryPoints entryPoints_;
    PluginEntryPoints restartEntryPoints_;
    bool inProcess_ = false;
    bool initializeResult_ = false;
    std::string pluginName_;
    std::array<std::optional<uint32_t>, 3> switches_{};
    std::map<uint32_t, Docklet> docklets_;
    int fpuViolations_ = 0;
    Observer observer_;
};

}  // namespace dockhost
