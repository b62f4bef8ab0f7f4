// One small owner type per kind of Windows resource, so that every handle is
// released on every path, failures included. None of them can be copied.
#pragma once

#include <windows.h>
#include <shlobj.h>

#include <utility>

namespace korimbo {

// Owns a value of a handle-like type and frees it with Release on destruction.
// Traits: static Type Invalid(); static void Release(Type).
template <class Traits>
class UniqueResource {
public:
    using Type = typename Traits::Type;

    UniqueResource() noexcept = default;
    explicit UniqueResource(Type value) noexcept : value_(value) {}
    ~UniqueResource() { Reset(); }

    UniqueResource(const UniqueResource&) = delete;
    UniqueResource& operator=(const UniqueResource&) = delete;
    UniqueResource(UniqueResource&& other) noexcept : value_(other.Detach()) {}
    UniqueResource& operator=(UniqueResource&& other) noexcept {
        if (this != &other) Reset(other.Detach());
        return *this;
    }

    Type Get() const noexcept { return value_; }
    explicit operator bool() const noexcept { return value_ != Traits::Invalid(); }

    // For calls that hand out a new resource through an out parameter.
    Type* Receive() noexcept {
        Reset();
        return &value_;
    }
    [[nodiscard]] Type Detach() noexcept { return std::exchange(value_, Traits::Invalid()); }
    void Reset(Type value = Traits::Invalid()) noexcept {
        Type old = std::exchange(value_, value);
        if (old != Traits::Invalid()) Traits::Release(old);
    }

private:
    Type value_ = Traits::Invalid();
};

struct FileHandleTraits {
    using Type = HANDLE;
    static Type Invalid() { return INVALID_HANDLE_VALUE; }
    static void Release(Type h) { ::CloseHandle(h); }
};
struct KernelHandleTraits {
    using Type = HANDLE;
    static Type Invalid() { return nullptr; }
    static void Release(Type h) { ::CloseHandle(h); }
};
struct FindHandleTraits {
    using Type = HANDLE;
    static Type Invalid() { return INVALID_HANDLE_VALUE; }
    static void Release(Type h) { ::FindClose(h); }
};
struct RegKeyTraits {
    using Type = HKEY;
    static Type Invalid() { return nullptr; }
    static void Release(Type h) { ::RegCloseKey(h); }
};
struct GdiObjectTraits {
    using Type = HGDIOBJ;
    static Type Invalid() { return nullptr; }
    static void Release(Type h) { ::DeleteObject(h); }
};
struct IconTraits {
    using Type = HICON;
    static Type Invalid() { return nullptr; }
    static void Release(Type h) { ::DestroyIcon(h); }
};
struct ModuleTraits {
    using Type = HMODULE;
    static Type Invalid() { return nullptr; }
    static void Release(Type h) { ::FreeLibrary(h); }
};
struct MemoryDcTraits {
    using Type = HDC;
    static Type Invalid() { return nullptr; }
    static void Release(Type h) { ::DeleteDC(h); }
};
struct WindowTraits {
    using Type = HWND;
    static Type Invalid() { return nullptr; }
    static void Release(Type h) { ::DestroyWindow(h); }
};

// A COM interface pointer, given back with Release.
template <class Interface>
struct ComTraits {
    using Type = Interface*;
    static Type Invalid() { return nullptr; }
    static void Release(Type p) { p->Release(); }
};

using UniqueFile = UniqueResource<FileHandleTraits>;
using UniqueHandle = UniqueResource<KernelHandleTraits>;
using UniqueFind = UniqueResource<FindHandleTraits>;
using UniqueRegKey = UniqueResource<RegKeyTraits>;
using UniqueGdiObject = UniqueResource<GdiObjectTraits>;
using UniqueIcon = UniqueResource<IconTraits>;
using UniqueModule = UniqueResource<ModuleTraits>;
using UniqueMemoryDc = UniqueResource<MemoryDcTraits>;
using UniqueWindow = UniqueResource<WindowTraits>;
using UniqueStream = UniqueResource<ComTraits<IStream>>;

// A DC obtained with GetDC, given back with ReleaseDC.
class WindowDc {
public:
    explicit WindowDc(HWND window) noexcept : window_(window), dc_(::GetDC(window)) {}
    ~WindowDc() {
        if (dc_) ::ReleaseDC(window_, dc_);
    }
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;
    HDC Get() const noexcept { return dc_; }

private:
    HWND window_;
    HDC dc_;
};

// Selects an object into a DC and puts the previous one back.
class SelectedObject {
public:
    SelectedObject(HDC dc, HGDIOBJ object) noexcept : dc_(dc), previous_(::SelectObject(dc, object)) {}
    ~SelectedObject() {
        if (previous_ && previous_ != HGDI_ERROR) ::SelectObject(dc_, previous_);
    }
    SelectedObject(const SelectedObject&) = delete;
    SelectedObject& operator=(const SelectedObject&) = delete;

private:
    HDC dc_;
    HGDIOBJ previous_;
};

// An item list from the shell, released through the shell's allocator, and
// only if one was obtained.
class ShellItemList {
public:
    ShellItemList() noexcept = default;
    ~ShellItemList() { Reset(); }
    ShellItemList(const ShellItemList&) = delete;
    ShellItemList& operator=(const ShellItemList&) = delete;

    LPITEMIDLIST Get() const noexcept { return list_; }
    LPITEMIDLIST* Receive() noexcept {
        Reset();
        return &list_;
    }
    void Reset() noexcept {
        if (!list_) return;
        IMalloc* allocator = nullptr;
        if (SUCCEEDED(::SHGetMalloc(&allocator)) && allocator) {
            allocator->Free(list_);
            allocator->Release();
        }
        list_ = nullptr;
    }

private:
    LPITEMIDLIST list_ = nullptr;
};

}  // namespace korimbo
