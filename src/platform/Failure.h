// Failures inside the plug-in are raised as Failure and caught at the host
// boundary or where a message is shown to the user.
#pragma once

#include <windows.h>

#include <stdexcept>
#include <string>

namespace korimbo {

class Failure : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Raises a Failure naming the Windows call that failed and its error code,
// with the system's text for that code.
[[noreturn]] void RaiseWin32Failure(const char* call, DWORD error = ::GetLastError());

}  // namespace korimbo
