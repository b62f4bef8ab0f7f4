#include "desktop/CommandLauncher.h"

#include <exception>
#include <string_view>
#include <type_traits>

#include "desktop/DesktopSystem.h"
#include "platform/Text.h"
#include "platform/UserMessages.h"

namespace korimbo {

namespace {

template <class Char>
bool IsBlankOrControl(Char c) {
    // Codes 0..32; for narrow text the byte counts unsigned, so code page
    // characters above 127 are kept.
    using Unsigned = std::make_unsigned_t<Char>;
    return static_cast<Unsigned>(c) <= 32u;
}

template <class Char>
std::basic_string<Char> Trimmed(std::basic_string_view<Char> text) {
    while (!text.empty() && IsBlankOrControl(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlankOrControl(text.back())) text.remove_suffix(1);
    return std::basic_string<Char>(text);
}

template <class Char>
BasicCommandLine<std::basic_string<Char>> Split(std::basic_string_view<Char> text) {
    const std::basic_string<Char> whole = Trimmed(text);
    constexpr Char kQuote = static_cast<Char>('"');
    if (!whole.empty() && whole.front() == kQuote) {
        const size_t closing = whole.find(kQuote, 1);
        if (closing != std::basic_string<Char>::npos) {
            const std::basic_string_view<Char> view(whole);
            return {Trimmed(view.substr(1, closing - 1)), Trimmed(view.substr(closing + 1))};
        }
    }
    return {whole, {}};
}

template <class Text>
void ReportingFailures(const Text& text) {
    try {
        ShellOpenCommand(text);
    } catch (const std::exception& failure) {
        ShowMessage(std::string("Could not execute specified command.\r\n(") + failure.what() + ")");
    }
}

}  // namespace

CommandLine SplitCommandLine(const std::string& text) { return Split(std::string_view(text)); }

WideCommandLine SplitCommandLine(const std::wstring& text) { return Split(std::wstring_view(text)); }

void ShellOpenCommand(const std::wstring& text) {
    const WideCommandLine command = SplitCommandLine(text);
    if (command.program.empty()) return;
    // The shell's answer is not examined: a refused launch is silent.
    System().ShellExecute(nullptr, L"open", command.program.c_str(), command.arguments.c_str(), nullptr,
                          SW_SHOWNORMAL);
}

// Narrow text from the code page widens without loss, so the shell sees the
// command as the caller wrote it.
void ShellOpenCommand(const std::string& text) { ShellOpenCommand(NarrowToWide(text)); }

void RunCommand(const std::string& text) { ReportingFailures(text); }

void RunCommand(const std::wstring& text) { ReportingFailures(text); }

}  // namespace korimbo
