// The emulator's scripted, headless mode: one command a line.
//
//   create ID                 destroy ID
//   draw ID SIZE FILE.png     draw ID WIDTHxHEIGHT FILE.png
//   click ID                  ctrlclick ID
//   drop ID FILE...           ctrldrop ID FILE...      (one call per file)
//   configure ID              timer ID [NAME]          (NAME: Korimbo_refresh)
//   set ID KEY VALUE          (writes the host's stored setting, as a user would)
//   wallpaper PATH            (sets the current user's wallpaper value)
//   restart                   (unload, reload the settings file, load again)
//   label ID                  settings ID               print what the host holds
//   echo TEXT                 quit
//   makefile PATH TEXT        removefile PATH          exists PATH...
//   watchkeys on|off          (records key events as "[keys]" lines and stops them)
// PATHs of makefile, removefile and exists may name %VARIABLES%.
//
// Arguments with blanks go between double quotes; '#' starts a comment line.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "DockHost.h"

namespace dockhost {

std::vector<std::string> SplitArguments(const std::string& line);

class ScriptRunner {
public:
    ScriptRunner(DockHost& host, std::FILE* out) : host_(host), out_(out) {}
    // Runs one command; false after quit. Throws on a command it cannot run.
    bool Run(const std::string& line);
    // Runs every line; answers the process exit code.
    int RunAll(std::istream& lines);

private:
    DockHost& host_;
    std::FILE* out_;
};

// Sets HKCU\Control Panel\Desktop\Wallpaper, as the desktop settings would.
bool SetWallpaperValue(const std::wstring& path);

}  // namespace dockhost
