// Helpers shared by the test programs.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace korimbo::test {

// Starts GDI+ for the life of the object, as the dock host does.
class GdiplusSession {
public:
    GdiplusSession();
    ~GdiplusSession();
    GdiplusSession(const GdiplusSession&) = delete;
    GdiplusSession& operator=(const GdiplusSession&) = delete;

private:
    ULONG_PTR token_ = 0;
};

// A fresh folder under the prefix's temporary folder, removed with everything
// in it when the object goes. Path() ends with a backslash.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::wstring& Path() const { return path_; }
    std::wstring File(const std::wstring& name) const { return path_ + name; }

private:
    std::wstring path_;
};

// The staged plug-in folder of this build (…\stage\Korimbo\), as a Windows path.
std::wstring StagedPluginFolder();
// A folder of the source tree, as a Windows path ending with a backslash.
std::wstring SourceFolder(const std::wstring& relative);

// Copies the staged Korimbo folder (DLL and pictures) into base\Korimbo\.
void StagePluginInto(const std::wstring& baseFolder);

bool FileExists(const std::wstring& path);
std::vector<uint8_t> ReadWholeFile(const std::wstring& path);
void WriteWholeFile(const std::wstring& path, const std::vector<uint8_t>& bytes);
void WriteWholeFile(const std::wstring& path, const std::string& text);

// Wide text from UTF-8, for test literals.
std::wstring Utf8ToWide(const std::string& text);

}  // namespace korimbo::test
