// dockhost.exe: a dock host emulator for trying and testing dock plug-ins.
//
//   dockhost --plugin PATH [--base FOLDER] [--settings FILE.ini] [--log FILE]
//            [--fpu 0xNNNN] [--script FILE | --run "COMMAND" ...]
//            [--window [--docklets N] [--icon-size N] [--screenshot FILE.png]]
//
// Headless, it runs the script (ScriptRunner.h lists the commands; without
// --script or --run it reads them from standard input). With --window it
// then shows a dock with the docklets the script left, or N new ones. The
// call log goes to standard output, or to --log FILE.
#include <windows.h>

#include <cstdio>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "DockHost.h"
#include "DockWindow.h"
#include "HostGdiplus.h"
#include "HostText.h"
#include "ScriptRunner.h"

namespace {

int Usage() {
    std::fprintf(stderr,
                 "usage: dockhost --plugin PATH [--base FOLDER] [--settings FILE.ini] [--log FILE]\n"
                 "                [--fpu 0xNNNN] [--script FILE | --run \"COMMAND\" ...]\n"
                 "                [--window [--docklets N] [--icon-size N] [--screenshot FILE.png]]\n");
    return 2;
}

struct CommandLine {
    dockhost::DockHostOptions host;
    std::wstring scriptFile, logFile;
    std::vector<std::string> commands;
    bool window = false;
    uint32_t docklets = 0;
    dockhost::DockWindow::Options dock;
};

bool Parse(int argc, wchar_t** argv, CommandLine& line) {
    for (int i = 1; i < argc; ++i) {
        const std::wstring arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == L"--window") line.window = true;
        else if (!hasValue) return false;
        else if (arg == L"--plugin") line.host.pluginPath = argv[++i];
        else if (arg == L"--base") line.host.baseFolder = argv[++i];
        else if (arg == L"--settings") line.host.settingsFile = argv[++i];
        else if (arg == L"--log") line.logFile = argv[++i];
        else if (arg == L"--script") line.scriptFile = argv[++i];
        else if (arg == L"--run") line.commands.push_back(dockhost::WideToUtf8(argv[++i]));
        else if (arg == L"--fpu") line.host.hostFpuControlWord = static_cast<uint16_t>(std::wcstoul(argv[++i], nullptr, 16));
        else if (arg == L"--docklets") line.docklets = static_cast<uint32_t>(std::wcstoul(argv[++i], nullptr, 10));
        else if (arg == L"--icon-size") line.dock.iconSize = static_cast<int>(std::wcstoul(argv[++i], nullptr, 10));
        else if (arg == L"--screenshot") line.dock.screenshotPath = argv[++i];
        else return false;
    }
    return !line.host.pluginPath.empty() && line.dock.iconSize > 0;
}

int RunHost(CommandLine& line) {
    std::FILE* logStream = stdout;
    if (!line.logFile.empty()) logStream = _wfopen(line.logFile.c_str(), L"w");
    // A person at a visible dock answers message boxes; scripts cannot.
    line.host.answerMessageBoxes = !line.window || !line.dock.screenshotPath.empty();
    int exitCode = 0;
    {
        dockhost::DockHost host(line.host);
        host.Log().SetEcho(logStream ? logStream : stdout);
        dockhost::ScriptRunner runner(host, stdout);
        try {
            host.Load();
            if (!line.commands.empty()) {
                std::ostringstream lines;
                for (const std::string& command : line.commands) lines << command << '\n';
                std::istringstream input(lines.str());
                exitCode = runner.RunAll(input);
            } else if (!line.scriptFile.empty()) {
                std::istringstream input(dockhost::ReadFileText(line.scriptFile));
                exitCode = runner.RunAll(input);
            } else if (!line.window) {
                exitCode = runner.RunAll(std::cin);
            }
            if (line.window && exitCode == 0) {
                for (uint32_t id = 1; id <= line.docklets; ++id)
                    if (!host.DockletData(id)) host.Create(id);
                dockhost::DockWindow window(host, line.dock);
                exitCode = window.Run();
            }
            host.Unload();
        } catch (const std::exception& error) {
            std::fprintf(stderr, "dockhost: %s\n", error.what());
            exitCode = 1;
        }
        if (host.FpuViolations() > 0 && exitCode == 0) exitCode = 3;
    }
    if (logStream && logStream != stdout) std::fclose(logStream);
    return exitCode;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    CommandLine line;
    if (!Parse(argc, argv, line)) return Usage();

    // A dock starts GDI+ before it asks for icons.
    ULONG_PTR gdiplusToken = 0;
    Gdiplus::GdiplusStartupInput gdiplusInput;
    Gdiplus::GdiplusStartup(&gdiplusToken, &gdiplusInput, nullptr);
    const int exitCode = RunHost(line);
    Gdiplus::GdiplusShutdown(gdiplusToken);
    return exitCode;
}
