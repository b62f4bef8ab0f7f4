// The emulator's visible dock: a small window showing each docklet's icon as
// the plug-in draws it, with its label on hover. A left click is a click
// (Control as held), a right click opens a menu (configure, icon size, add,
// remove), files dropped on an icon arrive one call per file, the plug-in's
// timers run, and its redraw requests are honoured.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "DockHost.h"

namespace dockhost {

class DockWindow {
public:
    struct Options {
        int iconSize = 64;
        // When set: show the dock, hover the first icon, save the window's
        // picture as PNG there, and close.
        std::wstring screenshotPath;
    };

    DockWindow(DockHost& host, Options options);
    ~DockWindow();
    DockWindow(const DockWindow&) = delete;
    DockWindow& operator=(const DockWindow&) = delete;

    // Runs the message loop until the window closes; answers an exit code.
    int Run();

private:
    struct Slot {
        uint32_t id = 0;
        std::unique_ptr<DockHost::DrawResult> picture;
        bool stale = true;
    };
    struct NamedTimer {
        uint32_t id;
        std::string name;
    };

    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);

    void AddDocklet(uint32_t id);
    void RemoveDocklet(size_t index);
    void FitWindowToIcons();
    RECT IconRect(size_t index) const;
    int IconAt(POINT point) const;
    void RedrawStaleIcons();
    void Paint(HDC dc, const RECT& client);
    void ShowMenu(int index, POINT screenPoint);
    void DropFiles(HDROP drop);
    bool SaveScreenshot(const std::wstring& path);

    DockHost& host_;
    Options options_;
    HWND window_ = nullptr;
    std::vector<Slot> slots_;
    std::map<UINT_PTR, NamedTimer> timers_;
    UINT_PTR nextTimer_ = 100;
    int hovered_ = -1;
    bool tracking_ = false;
    int exitCode_ = 0;
};

}  // namespace dockhost
