// dockhost.exe: a dock host emulator for trying and testing dock plug-ins.
//
//   dockhost --plugin PATH [--base FOLDER] [--settings FILE.ini] [--log FILE]
//            [--fpu 0xNNNN] [--script FILE | --run "COMMAND" ...]
//
// Without --script or --run it reads commands from standard input
// (ScriptRunner.h lists them). The call log goes to standard output, or to
// --log FILE.
#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "DockHost.h"
#include "HostGdiplus.h"
#include "HostText.h"
#include "ScriptRunner.h"

namespace {

int Usage() {
    std::fprintf(stderr,
                 "usage: dockhost --plugin PATH [--base FOLDER] [--settings FILE.ini] [--log FILE]\n"
                 "                [--fpu 0xNNNN] [--script FILE | --run \"COMMAND\" ...]\n");
    return 2;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    dockhost::DockHostOptions options;
    std::wstring scriptFile, logFile;
    std::vector<std::string> commands;
    for (int i = 1; i < argc; ++i) {
        const std::wstring arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == L"--plugin" && hasValue) options.pluginPath = argv[++i];
        else if (arg == L"--base" && hasValue) options.baseFolder = argv[++i];
        else if (arg == L"--settings" && hasValue) options.settingsFile = argv[++i];
        else if (arg == L"--log" && hasValue) logFile = argv[++i];
        else if (arg == L"--script" && hasValue) scriptFile = argv[++i];
        else if (arg == L"--run" && hasValue) commands.push_back(dockhost::WideToUtf8(argv[++i]));
        else if (arg == L"--fpu" && hasValue)
            options.hostFpuControlWord = static_cast<uint16_t>(std::wcstoul(argv[++i], nullptr, 16));
        else return Usage();
    }
    if (options.pluginPath.empty()) return Usage();

    ULONG_PTR gdiplusToken = 0;
    Gdiplus::GdiplusStartupInput gdiplusInput;
    Gdiplus::GdiplusStartup(&gdiplusToken, &gdiplusInput, nullptr);
    int exitCode = 0;
    {
        std::FILE* logStream = stdout;
        if (!logFile.empty()) logStream = _wfopen(logFile.c_str(), L"w");
        dockhost::DockHost host(options);
        host.Log().SetEcho(logStream ? logStream : stdout);
        dockhost::ScriptRunner runner(host, stdout);
        try {
            host.Load();
            if (!commands.empty()) {
                std::ostringstream lines;
                for (const std::string& command : commands) lines << command << '\n';
                std::istringstream input(lines.str());
                exitCode = runner.RunAll(input);
            } else if (!scriptFile.empty()) {
                std::istringstream input(dockhost::ReadFileText(scriptFile));
                exitCode = runner.RunAll(input);
            } else {
                exitCode = runner.RunAll(std::cin);
            }
            host.Unload();
        } catch (const std::exception& error) {
            std::fprintf(stderr, "dockhost: %s\n", error.what());
            exitCode = 1;
        }
        if (host.FpuViolations() > 0) exitCode = exitCode ? exitCode : 3;
        if (logStream && logStream != stdout) std::fclose(logStream);
    }
    Gdiplus::GdiplusShutdown(gdiplusToken);
    return exitCode;
}
