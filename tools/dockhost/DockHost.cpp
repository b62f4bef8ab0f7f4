#include "DockHost.h"

#include <cstring>
#include <stdexcept>
#include <utility>

#include "HostGdiplus.h"
#include "HostTableLayout.h"
#include "HostText.h"

namespace dockhost {

namespace {

using OnIdHandler = uint8_t(__stdcall*)(uint32_t);
using OnDropFileHandler = uint8_t(__stdcall*)(uint32_t, int32_t, int32_t, const char*);
using OnIgnoredHandler = uint8_t(__stdcall*)(uint32_t, uint32_t, uint32_t);
using OnDrawIconHandler = uint8_t(__stdcall*)(uint32_t, void**);
using OnTimerHandler = uint8_t(__stdcall*)(uint32_t, const char*);

uint16_t CurrentFpuControlWord() {
    uint16_t word = 0;
    asm volatile("fnstcw %0" : "=m"(word));
    return word;
}

void LoadFpuControlWord(uint16_t word) { asm volatile("fnclex\n\tfldcw %0" : : "m"(word)); }

std::string Hex(uint32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08X", value);
    return text;
}

std::string Bool(uint8_t answer) {
    return answer == 1 ? "true" : answer == 0 ? "false" : "invalid(" + std::to_string(answer) + ")";
}

std::string Ansi(const char* text) { return text ? Quoted(WideToUtf8(AnsiToWide(text))) : "null"; }
std::string Wide(const wchar_t* text) { return text ? Quoted(WideToUtf8(text)) : "null"; }

}  // namespace

DockHost::DockHost(DockHostOptions options)
    : options_(std::move(options)), settings_(options_.settingsFile) {
    if (options_.answerMessageBoxes) answerer_ = std::make_unique<MessageBoxAnswerer>(log_);
    options_.pluginPath = FullPath(options_.pluginPath);
    // A dock keeps each plug-in in a folder of its own under its base folder.
    if (options_.baseFolder.empty()) {
        std::wstring pluginFolder = FolderOf(options_.pluginPath);
        if (!pluginFolder.empty()) pluginFolder.pop_back();
        baseFolder_ = FolderOf(pluginFolder);
    } else {
        baseFolder_ = options_.baseFolder;
    }
    if (!baseFolder_.empty() && baseFolder_.back() != L'\\') baseFolder_.push_back(L'\\');
    baseFolderAnsi_ = WideToAnsi(baseFolder_);
    settings_.Load();
}

DockHost::~DockHost() {
    try {
        Unload();
    } catch (...) {
    }
}

DockHost& DockHost::From(uint32_t context) { return *reinterpret_cast<DockHost*>(static_cast<uintptr_t>(context)); }

uint32_t DockHost::Word(size_t offset) const {
    uint32_t word;
    std::memcpy(&word, table_.data() + offset, sizeof word);
    return word;
}

void DockHost::PutOperation(size_t offset, const void* code) {
    const auto address = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(code));
    const auto context = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(this));
    std::memcpy(table_.data() + offset, &address, 4);
    std::memcpy(table_.data() + offset + 4, &context, 4);
}

template <class Handler>
Handler DockHost::Slot(size_t offset) const {
    const uint32_t address = Word(offset);
    if (!address) throw std::runtime_error("the plug-in left handler slot " + std::to_string(offset) + " empty");
    return reinterpret_cast<Handler>(static_cast<uintptr_t>(address));
}

void DockHost::FillTable() {
    table_.fill(0);
    // Unlisted words hold a pattern that no plug-in should use.
    for (size_t offset = 0; offset < layout::kTableBytes; offset += 4) std::memcpy(&table_[offset], "\xEF\xBE\xAD\xDE", 4);
    std::memset(table_.data() + layout::PluginWord, 0, 4);
    for (size_t offset = layout::OnCreate; offset <= layout::OnTimer; offset += 4)
        std::memset(table_.data() + offset, 0, 4);
    PutOperation(layout::RegisterPluginName, reinterpret_cast<const void*>(&OpRegisterPluginName));
    PutOperation(layout::GetBaseFolder, reinterpret_cast<const void*>(&OpGetBaseFolder));
    PutOperation(layout::SetDockletLabel, reinterpret_cast<const void*>(&OpSetDockletLabel));
    PutOperation(layout::SetDockletData, reinterpret_cast<const void*>(&OpSetDockletData));
    PutOperation(layout::GetDockletData, reinterpret_cast<const void*>(&OpGetDockletData));
    PutOperation(layout::HostSwitchA, reinterpret_cast<const void*>(&OpHostSwitchA));
    PutOperation(layout::HostSwitchB, reinterpret_cast<const void*>(&OpHostSwitchB));
    PutOperation(layout::HostSwitchC, reinterpret_cast<const void*>(&OpHostSwitchC));
    PutOperation(layout::GetIconRect, reinterpret_cast<const void*>(&OpGetIconRect));
    PutOperation(layout::StartNamedTimer, reinterpret_cast<const void*>(&OpStartNamedTimer));
    PutOperation(layout::WriteSettingInteger, reinterpret_cast<const void*>(&OpWriteSettingInteger));
    PutOperation(layout::WriteSettingBool, reinterpret_cast<const void*>(&OpWriteSettingBool));
    PutOperation(layout::WriteSettingString, reinterpret_cast<const void*>(&OpWriteSettingString));
    PutOperation(layout::WriteSettingWideString, reinterpret_cast<const void*>(&OpWriteSettingWideString));
    PutOperation(layout::CommitSettings, reinterpret_cast<const void*>(&OpCommitSettings));
    PutOperation(layout::ReadSettingInteger, reinterpret_cast<const void*>(&OpReadSettingInteger));
    PutOperation(layout::ReadSettingBool, reinterpret_cast<const void*>(&OpReadSettingBool));
    PutOperation(layout::ReadSettingString, reinterpret_cast<const void*>(&OpReadSettingString));
    PutOperation(layout::ReadSettingWideString, reinterpret_cast<const void*>(&OpReadSettingWideString));
    PutOperation(layout::RequestRedraw, reinterpret_cast<const void*>(&OpRequestRedraw));
}

template <class Call>
auto DockHost::AsHost(const char* what, Call&& call) {
    const uint16_t ownWord = CurrentFpuControlWord();
    LoadFpuControlWord(options_.hostFpuControlWord.value_or(ownWord));
    const uint16_t hostWord = CurrentFpuControlWord();  // reserved bit 6 reads as set
    auto result = call();
    const uint16_t after = CurrentFpuControlWord();
    LoadFpuControlWord(ownWord);
    if (after != hostWord) {
        ++fpuViolations_;
        log_.Add(std::string("[host] FPU control word changed by ") + what + ": " + Hex(hostWord) + " -> " +
                 Hex(after));
    }
    return result;
}

void DockHost::Load() {
    if (Loaded()) return;
    module_ = ::LoadLibraryW(options_.pluginPath.c_str());
    if (!module_)
        throw std::runtime_error("cannot load " + WideToUtf8(options_.pluginPath) + " (error " +
                                 std::to_string(::GetLastError()) + ")");
    log_.Add("[host] loaded " + Quoted(WideToUtf8(options_.pluginPath)));

    // Resolve by ordinal, and check that the names lead to the same code.
    const char* names[] = {"Zeph_Finalization", "Zeph_Initialization", "GetMagicID"};
    const int ordinals[] = {layout::OrdinalFinalization, layout::OrdinalInitialization, layout::OrdinalMagicId};
    FARPROC exports[3] = {};
    for (int i = 0; i < 3; ++i) {
        exports[i] = ::GetProcAddress(module_, reinterpret_cast<LPCSTR>(static_cast<uintptr_t>(ordinals[i])));
        FARPROC byName = ::GetProcAddress(module_, names[i]);
        if (!exports[i] || exports[i] != byName) {
            ::FreeLibrary(module_);
            module_ = nullptr;
            throw std::runtime_error(std::string("export ") + names[i] + " is not ordinal " +
                                     std::to_string(ordinals[i]));
        }
    }

    entryPoints_.finalize = reinterpret_cast<decltype(entryPoints_.finalize)>(reinterpret_cast<void*>(exports[0]));
    entryPoints_.initialize = reinterpret_cast<decltype(entryPoints_.initialize)>(reinterpret_cast<void*>(exports[1]));
    entryPoints_.magicId = reinterpret_cast<decltype(entryPoints_.magicId)>(reinterpret_cast<void*>(exports[2]));
    inProcess_ = false;
    Initialize();
}

void DockHost::LoadInProcess(const PluginEntryPoints& entryPoints) {
    if (Loaded()) return;
    entryPoints_ = entryPoints;
    inProcess_ = true;
    log_.Add("[host] attached the plug-in linked into this program");
    Initialize();
}

void DockHost::Initialize() {
    FillTable();
    initializeResult_ = AsHost("Zeph_Initialization", [&] { return entryPoints_.initialize(table_.data()); }) == 1;
    log_.Add(std::string("[plugin] Zeph_Initialization(table) -> ") + (initializeResult_ ? "true" : "false"));
}

void DockHost::Unload() {
    if (!Loaded()) return;
    // A dock destroys what is left before it lets a plug-in go.
    std::vector<uint32_t> ids;
    for (const auto& entry : docklets_)
        if (entry.second.data) ids.push_back(entry.first);
    for (uint32_t id : ids) Destroy(id);
    const uint8_t answer = AsHost("Zeph_Finalization", [&] { return entryPoints_.finalize(); });
    log_.Add("[plugin] Zeph_Finalization() -> " + Bool(answer));
    if (module_) ::FreeLibrary(module_);
    module_ = nullptr;
    docklets_.clear();
    log_.Add("[host] unloaded");
    restartEntryPoints_ = std::exchange(entryPoints_, PluginEntryPoints{});
}

void DockHost::Restart() {
    const bool inProcess = inProcess_;
    Unload();
    settings_.Load();
    switches_ = {};
    pluginName_.clear();
    if (inProcess) {
        LoadInProcess(restartEntryPoints_);
    } else {
        Load();
    }
}

uint16_t DockHost::MagicId() const { return entryPoints_.magicId ? entryPoints_.magicId() : 0; }

bool DockHost::HandlersPublished() const {
    for (size_t offset = layout::OnCreate; offset <= layout::OnTimer; offset += 4)
        if (!Word(offset)) return false;
    return true;
}

DockHost::Docklet& DockHost::At(uint32_t id) { return docklets_[id]; }

bool DockHost::Create(uint32_t id) {
    At(id);
    const auto handler = Slot<OnIdHandler>(layout::OnCreate);
    const uint8_t answer = AsHost("HandleCreate", [&] { return handler(id); });
    log_.Add("[plugin] HandleCreate(" + std::to_string(id) + ") -> " + Bool(answer));
    return answer == 1;
}

bool DockHost::Destroy(uint32_t id) {
    const auto handler = Slot<OnIdHandler>(layout::OnDestroy);
    const uint8_t answer = AsHost("HandleDestroy", [&] { return handler(id); });
    log_.Add("[plugin] HandleDestroy(" + std::to_string(id) + ") -> " + Bool(answer));
    // The host forgets the docklet; its timers stop with it.
    docklets_.erase(id);
    return answer == 1;
}

void DockHost::HoldControl(bool held) {
    BYTE keys[256] = {};
    ::GetKeyboardState(keys);
    keys[VK_CONTROL] = held ? 0x80 : 0;
    keys[VK_LCONTROL] = held ? 0x80 : 0;
    ::SetKeyboardState(keys);
}

bool DockHost::Click(uint32_t id, bool control) {
    const auto handler = Slot<OnIdHandler>(layout::OnClick);
    HoldControl(control);
    const uint8_t answer = AsHost("HandleClick", [&] { return handler(id); });
    HoldControl(false);
    log_.Add("[plugin] HandleClick(" + std::to_string(id) + (control ? ") with Control -> " : ") -> ") +
             Bool(answer));
    return answer == 1;
}

bool DockHost::DropFiles(uint32_t id, const std::vector<std::wstring>& paths, bool control) {
    const auto handler = Slot<OnDropFileHandler>(layout::OnDropFile);
    bool allTrue = true;
    const auto count = static_cast<int32_t>(paths.size());
    HoldControl(control);
    for (int32_t index = 0; index < count; ++index) {
        const std::string path = WideToAnsi(paths[static_cast<size_t>(index)]);
        const uint8_t answer = AsHost("HandleDropFile", [&] { return handler(id, index, count, path.c_str()); });
        log_.Add("[plugin] HandleDropFile(" + std::to_string(id) + ", " + std::to_string(index) + ", " +
                 std::to_string(count) + ", " + Ansi(path.c_str()) + (control ? ") with Control -> " : ") -> ") +
                 Bool(answer));
        allTrue = allTrue && answer == 1;
    }
    HoldControl(false);
    return allTrue;
}

bool DockHost::Configure(uint32_t id) {
    const auto handler = Slot<OnIdHandler>(layout::OnConfigure);
    const uint8_t answer = AsHost("HandleConfigure", [&] { return handler(id); });
    log_.Add("[plugin] HandleConfigure(" + std::to_string(id) + ") -> " + Bool(answer));
    return answer == 1;
}

bool DockHost::FireTimer(uint32_t id, const std::string& name) {
    const auto handler = Slot<OnTimerHandler>(layout::OnTimer);
    const uint8_t answer = AsHost("HandleTimer", [&] { return handler(id, name.c_str()); });
    log_.Add("[plugin] HandleTimer(" + std::to_string(id) + ", " + Ansi(name.c_str()) + ") -> " + Bool(answer));
    return answer == 1;
}

bool DockHost::Ignored(uint32_t a, uint32_t b, uint32_t c) {
    const auto handler = Slot<OnIgnoredHandler>(layout::OnIgnored);
    const uint8_t answer = AsHost("HandleIgnored", [&] { return handler(a, b, c); });
    log_.Add("[plugin] HandleIgnored(" + std::to_string(a) + ", " + std::to_string(b) + ", " + std::to_string(c) +
             ") -> " + Bool(answer));
    return answer == 1;
}

DockHost::DrawResult DockHost::Draw(uint32_t id, int width, int height) {
    SetIconSize(width, height);
    const auto handler = Slot<OnDrawIconHandler>(layout::OnDrawIcon);
    DrawResult result;
    const uint8_t answer = AsHost("HandleDrawIcon", [&] { return handler(id, &result.bitmap); });
    result.answer = answer == 1;
    log_.Add("[plugin] HandleDrawIcon(" + std::to_string(id) + ", &bitmap) -> " + Bool(answer) +
             (result.bitmap ? ", bitmap " + std::to_string(result.Width()) + "x" + std::to_string(result.Height())
                            : ", no bitmap"));
    return result;
}

void DockHost::SetIconSize(int width, int height) {
    options_.iconWidth = width;
    options_.iconHeight = height;
}

std::string DockHost::Label(uint32_t id) const {
    const auto found = docklets_.find(id);
    return found == docklets_.end() ? std::string() : found->second.label;
}

void* DockHost::DockletData(uint32_t id) const {
    const auto found = docklets_.find(id);
    return found == docklets_.end() ? nullptr : found->second.data;
}

std::vector<TimerInfo> DockHost::Timers(uint32_t id) const {
    const auto found = docklets_.find(id);
    return found == docklets_.end() ? std::vector<TimerInfo>() : found->second.timers;
}

int DockHost::RedrawRequests(uint32_t id) const {
    const auto found = docklets_.find(id);
    return found == docklets_.end() ? 0 : found->second.redrawRequests;
}

uint32_t DockHost::PluginWord() const { return Word(layout::PluginWord); }

void DockHost::ForgetDockletData(uint32_t id) { At(id).data = nullptr; }

std::vector<uint32_t> DockHost::DockletIds() const {
    std::vector<uint32_t> ids;
    for (const auto& entry : docklets_) ids.push_back(entry.first);
    return ids;
}

// --- Host operations ---------------------------------------------------------

void __stdcall DockHost::OpRegisterPluginName(uint32_t context, const char* name) {
    DockHost& host = From(context);
    host.pluginName_ = name ? name : "";
    host.log_.Add("[host] RegisterPluginName(" + Ansi(name) + ")");
}

const char* __stdcall DockHost::OpGetBaseFolder(uint32_t context) {
    DockHost& host = From(context);
    host.log_.Add("[host] GetBaseFolder() -> " + Quoted(WideToUtf8(host.baseFolder_)));
    return host.baseFolderAnsi_.c_str();
}

void __stdcall DockHost::OpSetDockletLabel(uint32_t context, uint32_t id, const char* text) {
    DockHost& host = From(context);
    host.At(id).label = text ? text : "";
    host.log_.Add("[host] SetDockletLabel(" + std::to_string(id) + ", " + Ansi(text) + ")");
}

void __stdcall DockHost::OpSetDockletData(uint32_t context, uint32_t id, void* data) {
    DockHost& host = From(context);
    host.At(id).data = data;
    host.log_.Add("[host] SetDockletData(" + std::to_string(id) + ", record)");
}

void* __stdcall DockHost::OpGetDockletData(uint32_t context, uint32_t id) {
    DockHost& host = From(context);
    const auto found = host.docklets_.find(id);
    return found == host.docklets_.end() ? nullptr : found->second.data;
}

void __stdcall DockHost::OpHostSwitchA(uint32_t context, uint32_t value) {
    DockHost& host = From(context);
    host.switches_[0] = value;
    host.log_.Add("[host] HostSwitchA(" + std::to_string(value) + ")");
}

void __stdcall DockHost::OpHostSwitchB(uint32_t context, uint32_t value) {
    DockHost& host = From(context);
    host.switches_[1] = value;
    host.log_.Add("[host] HostSwitchB(" + std::to_string(value) + ")");
}

void __stdcall DockHost::OpHostSwitchC(uint32_t context, uint32_t value) {
    DockHost& host = From(context);
    host.switches_[2] = value;
    host.log_.Add("[host] HostSwitchC(" + std::to_string(value) + ")");
}

void __stdcall DockHost::OpGetIconRect(RECT* rect, uint32_t context, uint32_t id) {
    DockHost& host = From(context);
    // A dock's icon rectangle sits somewhere on its window, not at 0,0.
    rect->left = 100;
    rect->top = 7;
    rect->right = 100 + host.options_.iconWidth;
    rect->bottom = 7 + host.options_.iconHeight;
    host.log_.Add("[host] GetIconRect(" + std::to_string(id) + ") -> " + std::to_string(host.options_.iconWidth) +
                  "x" + std::to_string(host.options_.iconHeight));
}

void __stdcall DockHost::OpStartNamedTimer(uint32_t context, uint32_t id, const char* name, uint32_t ms,
                                           uint32_t flag) {
    DockHost& host = From(context);
    host.At(id).timers.push_back({name ? name : "", ms});
    if (host.observer_.timerStarted) host.observer_.timerStarted(id, host.At(id).timers.back());
    host.log_.Add("[host] StartNamedTimer(" + std::to_string(id) + ", " + Ansi(name) + ", " + std::to_string(ms) +
                  ", " + std::to_string(flag) + ")");
}

void __stdcall DockHost::OpWriteSettingInteger(uint32_t context, uint32_t id, const char* key, int32_t value) {
    DockHost& host = From(context);
    host.settings_.Set(id, key, std::to_wstring(value));
    host.log_.Add("[host] WriteSettingInteger(" + std::to_string(id) + ", " + Ansi(key) + ", " +
                  std::to_string(value) + ")");
}

void __stdcall DockHost::OpWriteSettingBool(uint32_t context, uint32_t id, const char* key, uint32_t value) {
    DockHost& host = From(context);
    const bool set = (value & 0xFF) != 0;  // a Boolean travels in the low byte
    host.settings_.Set(id, key, set ? L"1" : L"0");
    host.log_.Add("[host] WriteSettingBool(" + std::to_string(id) + ", " + Ansi(key) + ", " +
                  (set ? "true" : "false") + ")");
}

void __stdcall DockHost::OpWriteSettingString(uint32_t context, uint32_t id, const char* key, const char* text) {
    DockHost& host = From(context);
    if (!text) {  // a real host would crash here
        host.log_.Add("[host] ERROR WriteSettingString(" + Ansi(key) + ") with a null text");
        return;
    }
    host.settings_.Set(id, key, AnsiToWide(text));
    host.log_.Add("[host] WriteSettingString(" + std::to_string(id) + ", " + Ansi(key) + ", " + Ansi(text) + ")");
}

void __stdcall DockHost::OpWriteSettingWideString(uint32_t context, uint32_t id, const char* key,
                                                  const wchar_t* text) {
    DockHost& host = From(context);
    if (!text) {
        host.log_.Add("[host] ERROR WriteSettingWideString(" + Ansi(key) + ") with a null text");
        return;
    }
    host.settings_.Set(id, key, text);
    host.log_.Add("[host] WriteSettingWideString(" + std::to_string(id) + ", " + Ansi(key) + ", " + Wide(text) +
                  ")");
}

int32_t __stdcall DockHost::OpCommitSettings(uint32_t context) {
    DockHost& host = From(context);
    const bool ok = host.settings_.Commit();
    host.log_.Add(std::string("[host] CommitSettings() -> ") + (ok ? "1" : "0"));
    return ok ? 1 : 0;
}

void __stdcall DockHost::OpReadSettingInteger(uint32_t context, uint32_t id, const char* key, int32_t fallback,
                                              int32_t* value) {
    DockHost& host = From(context);
    int32_t result = fallback;
    if (auto stored = host.settings_.Get(id, key)) {
        try {
            result = static_cast<int32_t>(std::stol(*stored));
        } catch (...) {
        }
    }
    *value = result;
    host.log_.Add("[host] ReadSettingInteger(" + std::to_string(id) + ", " + Ansi(key) + ", " +
                  std::to_string(fallback) + ") -> " + std::to_string(result));
}

void __stdcall DockHost::OpReadSettingBool(uint32_t context, uint32_t id, const char* key, uint32_t fallback,
                                           uint8_t* value) {
    DockHost& host = From(context);
    bool result = (fallback & 0xFF) != 0;
    if (auto stored = host.settings_.Get(id, key)) result = *stored == L"1" || *stored == L"true";
    *value = result ? 1 : 0;  // one byte, nothing beside it
    host.log_.Add("[host] ReadSettingBool(" + std::to_string(id) + ", " + Ansi(key) + ", " +
                  ((fallback & 0xFF) ? "true" : "false") + ") -> " + (result ? "true" : "false"));
}

void __stdcall DockHost::OpReadSettingString(uint32_t context, uint32_t id, const char* key, const char* fallback,
                                             char* buffer, uint32_t capacity) {
    DockHost& host = From(context);
    const auto stored = host.settings_.Get(id, key);
    const std::string text = stored ? WideToAnsi(*stored) : std::string(fallback ? fallback : "");
    // Copies at most `capacity` characters and adds the terminator only when
    // it fits: the harshest reading of the buffer length.
    const size_t copied = std::min<size_t>(text.size(), capacity);
    std::memcpy(buffer, text.data(), copied);
    if (copied < capacity) buffer[copied] = '\0';
    host.log_.Add("[host] ReadSettingString(" + std::to_string(id) + ", " + Ansi(key) + ", " + Ansi(fallback) +
                  ", " + std::to_string(capacity) + ") -> " + Quoted(WideToUtf8(AnsiToWide(text.substr(0, copied)))));
}

void __stdcall DockHost::OpReadSettingWideString(uint32_t context, uint32_t id, const char* key,
                                                 const wchar_t* fallback, wchar_t* buffer, uint32_t capacity) {
    DockHost& host = From(context);
    const auto stored = host.settings_.Get(id, key);
    const std::wstring text = stored ? *stored : std::wstring(fallback ? fallback : L"");
    const size_t copied = std::min<size_t>(text.size(), capacity);  // characters
    std::memcpy(buffer, text.data(), copied * sizeof(wchar_t));
    if (copied < capacity) buffer[copied] = L'\0';
    host.log_.Add("[host] ReadSettingWideString(" + std::to_string(id) + ", " + Ansi(key) + ", " + Wide(fallback) +
                  ", " + std::to_string(capacity) + ") -> " + Quoted(WideToUtf8(text.substr(0, copied))));
}

void __stdcall DockHost::OpRequestRedraw(uint32_t context, uint32_t id) {
    DockHost& host = From(context);
    ++host.At(id).redrawRequests;
    if (host.observer_.redrawRequested) host.observer_.redrawRequested(id);
    host.log_.Add("[host] RequestRedraw(" + std::to_string(id) + ")");
}

// --- Bitmaps handed to the host ----------------------------------------------

DockHost::DrawResult::DrawResult(DrawResult&& other) noexcept
    : answer(other.answer), bitmap(std::exchange(other.bitmap, nullptr)) {}

DockHost::DrawResult::~DrawResult() {
    if (bitmap) Gdiplus::DllExports::GdipDisposeImage(static_cast<Gdiplus::GpImage*>(bitmap));
}

int DockHost::DrawResult::Width() const {
    UINT width = 0;
    if (bitmap) Gdiplus::DllExports::GdipGetImageWidth(static_cast<Gdiplus::GpImage*>(bitmap), &width);
    return static_cast<int>(width);
}

int DockHost::DrawResult::Height() const {
    UINT height = 0;
    if (bitmap) Gdiplus::DllExports::GdipGetImageHeight(static_cast<Gdiplus::GpImage*>(bitmap), &height);
    return static_cast<int>(height);
}

std::vector<uint32_t> DockHost::DrawResult::Pixels() const {
    return ReadArgbPixels(static_cast<Gdiplus::GpBitmap*>(bitmap));
}

std::vector<uint32_t> ReadArgbPixels(Gdiplus::GpBitmap* bitmap) {
    UINT width = 0, height = 0;
    if (!bitmap) return {};
    Gdiplus::DllExports::GdipGetImageWidth(bitmap, &width);
    Gdiplus::DllExports::GdipGetImageHeight(bitmap, &height);
    std::vector<uint32_t> pixels(static_cast<size_t>(width) * height);
    if (pixels.empty()) return pixels;
    Gdiplus::GpRect rect(0, 0, static_cast<INT>(width), static_cast<INT>(height));
    Gdiplus::BitmapData data{};
    data.Width = width;
    data.Height = height;
    data.Stride = static_cast<INT>(width * 4);
    data.PixelFormat = PixelFormat32bppARGB;
    data.Scan0 = pixels.data();
    if (Gdiplus::DllExports::GdipBitmapLockBits(bitmap, &rect,
                                                Gdiplus::ImageLockModeRead | Gdiplus::ImageLockModeUserInputBuf,
                                                PixelFormat32bppARGB, &data) == Gdiplus::Ok)
        Gdiplus::DllExports::GdipBitmapUnlockBits(bitmap, &data);
    return pixels;
}

bool DockHost::DrawResult::SavePng(const std::wstring& path) const {
    return bitmap && SaveImageAsPng(static_cast<Gdiplus::GpImage*>(bitmap), path);
}

bool SaveImageAsPng(Gdiplus::GpImage* image, const std::wstring& path) {
    UINT count = 0, size = 0;
    Gdiplus::DllExports::GdipGetImageEncodersSize(&count, &size);
    std::vector<uint8_t> buffer(size);
    auto* codecs = reinterpret_cast<Gdiplus::ImageCodecInfo*>(buffer.data());
    Gdiplus::DllExports::GdipGetImageEncoders(count, size, codecs);
    for (UINT i = 0; i < count; ++i) {
        if (std::wstring(codecs[i].MimeType) == L"image/png")
            return Gdiplus::DllExports::GdipSaveImageToFile(image, path.c_str(), &codecs[i].Clsid, nullptr) ==
                   Gdiplus::Ok;
    }
    return false;
}

}  // namespace dockhost
