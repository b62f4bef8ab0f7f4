#include "support/TestFolders.h"

#include <objidl.h>
#include <shellapi.h>

#include <algorithm>
#include <stdexcept>

namespace Gdiplus {
using std::max;
using std::min;
}  // namespace Gdiplus
#include <gdiplus.h>

namespace korimbo::test {

GdiplusSession::GdiplusSession() {
    Gdiplus::GdiplusStartupInput input;
    Gdiplus::GdiplusStartup(&token_, &input, nullptr);
}

GdiplusSession::~GdiplusSession() {
    if (token_) Gdiplus::GdiplusShutdown(token_);
}

namespace {

void DeleteTree(const std::wstring& folder) {
    std::wstring from = folder;
    if (!from.empty() && from.back() == L'\\') from.pop_back();
    from.push_back(L'\0');  // the shell reads a list ended by an empty name
    SHFILEOPSTRUCTW operation{};
    operation.wFunc = FO_DELETE;
    operation.pFrom = from.c_str();
    operation.fFlags = FOF_NOCONFIRMATION | FOF_NOERRORUI | FOF_SILENT;
    ::SHFileOperationW(&operation);
}

std::wstring UnixToWindowsPath(const std::string& unixPath) {
    // Wine maps the root of the Unix file system to Z:.
    std::wstring path = L"Z:" + Utf8ToWide(unixPath);
    std::replace(path.begin(), path.end(), L'/', L'\\');
    if (path.back() != L'\\') path.push_back(L'\\');
    return path;
}

}  // namespace

TempFolder::TempFolder() {
    wchar_t temp[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, temp);
    static unsigned counter = 0;
    path_ = std::wstring(temp) + L"korimbo-test-" + std::to_wstring(::GetCurrentProcessId()) + L"-" +
            std::to_wstring(++counter) + L"\\";
    ::CreateDirectoryW(path_.c_str(), nullptr);
}

TempFolder::~TempFolder() { DeleteTree(path_); }

std::wstring StagedPluginFolder() { return UnixToWindowsPath(KORIMBO_PLUGIN_DIR); }

std::wstring SourceFolder(const std::wstring& relative) {
    std::wstring path = UnixToWindowsPath(KORIMBO_SOURCE_DIR) + relative;
    if (!path.empty() && path.back() != L'\\') path.push_back(L'\\');
    return path;
}

void StagePluginInto(const std::wstring& baseFolder) {
    const std::wstring target = baseFolder + L"Korimbo\\";
    ::CreateDirectoryW(target.c_str(), nullptr);
    const std::wstring source = StagedPluginFolder();
    WIN32_FIND_DATAW found{};
    HANDLE search = ::FindFirstFileW((source + L"*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) throw std::runtime_error("staged plug-in folder is missing");
    do {
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
        const std::wstring name = found.cFileName;
        if (name == L"wallpaper.png") continue;  // made by the plug-in itself
        ::CopyFileW((source + name).c_str(), (target + name).c_str(), FALSE);
    } while (::FindNextFileW(search, &found));
    ::FindClose(search);
}

bool FileExists(const std::wstring& path) {
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::vector<uint8_t> ReadWholeFile(const std::wstring& path) {
    HANDLE file = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return {};
    std::vector<uint8_t> bytes(::GetFileSize(file, nullptr));
    DWORD read = 0;
    if (!bytes.empty()) ::ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr);
    ::CloseHandle(file);
    bytes.resize(read);
    return bytes;
}

void WriteWholeFile(const std::wstring& path, const std::vector<uint8_t>& bytes) {
    HANDLE file = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) throw std::runtime_error("cannot write test file");
    DWORD written = 0;
    ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    ::CloseHandle(file);
}

void WriteWholeFile(const std::wstring& path, const std::string& text) {
    WriteWholeFile(path, std::vector<uint8_t>(text.begin(), text.end()));
}

std::wstring Utf8ToWide(const std::string& text) {
    if (text.empty()) return {};
    const int length = static_cast<int>(text.size());
    const int needed = ::MultiByteToWideChar(CP_UTF8, 0, text.data(), length, nullptr, 0);
    std::wstring wide(static_cast<size_t>(needed), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, text.data(), length, wide.data(), needed);
    return wide;
}

}  // namespace korimbo::test
