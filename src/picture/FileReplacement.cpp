#include "picture/FileReplacement.h"

#include <windows.h>

#include <algorithm>

#include "platform/Failure.h"
#include "platform/LongPath.h"
#include "platform/ScopedWin.h"

namespace korimbo {

namespace {

void WriteAll(HANDLE file, const std::vector<uint8_t>& bytes) {
    size_t written = 0;
    while (written < bytes.size()) {
        const DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - written, 1u << 20));
        DWORD done = 0;
        if (!::WriteFile(file, bytes.data() + written, chunk, &done, nullptr) || done == 0)
            RaiseWin32Failure("WriteFile");
        written += done;
    }
}

}  // namespace

void ReplaceFileContents(const std::wstring& path, const std::vector<uint8_t>& bytes) {
    if (path.empty()) throw Failure("No file name to write to");
    const std::wstring target = ExtendedLengthPath(path);
    const std::wstring temporary = ExtendedLengthPath(path + L".tmp");
    try {
        {
            UniqueFile file(::CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                          FILE_ATTRIBUTE_NORMAL, nullptr));
            if (!file) RaiseWin32Failure("CreateFileW");
            WriteAll(file.Get(), bytes);
            // The data must be on disk before the new name points at it.
            if (!::FlushFileBuffers(file.Get())) RaiseWin32Failure("FlushFileBuffers");
        }
        if (!::MoveFileExW(temporary.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            RaiseWin32Failure("MoveFileExW");
    } catch (...) {
        ::DeleteFileW(temporary.c_str());
        throw;
    }
}

}  // namespace korimbo
