// Starting a program, or opening a document or web address, from one command
// text: a program (between double quotes when it has arguments) and its
// arguments.
#pragma once

#include <string>

namespace korimbo {

template <class Text>
struct BasicCommandLine {
    Text program;
    Text arguments;
    bool operator==(const BasicCommandLine&) const = default;
};
using CommandLine = BasicCommandLine<std::string>;
using WideCommandLine = BasicCommandLine<std::wstring>;

// Trims characters 0..32 at both ends; a text that starts with a double quote
// and holds a second one splits there into program and arguments (each
// trimmed again); any other text is the program alone.
CommandLine SplitCommandLine(const std::string& text);
WideCommandLine SplitCommandLine(const std::wstring& text);

// Asks the shell to open the command's program with its arguments, shown
// normally. A launch the shell refuses is silent, and an empty program is
// not launched at all (the shell would fall back on the current folder).
void ShellOpenCommand(const std::string& text);
void ShellOpenCommand(const std::wstring& text);

// As ShellOpenCommand, but a failure raised on the way is shown to the user as
// "Could not execute specified command.\r\n(<reason>)" instead of leaving.
void RunCommand(const std::string& text);
void RunCommand(const std::wstring& text);

}  // namespace korimbo
