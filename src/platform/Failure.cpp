#include "platform/Failure.h"

#include <cstdio>

namespace korimbo {

void RaiseWin32Failure(const char* call, DWORD error) {
    char text[512] = {};
    DWORD length = ::FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                                    error, MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US), text,
                                    sizeof text, nullptr);
    while (length > 0 && (text[length - 1] == '\r' || text[length - 1] == '\n' || text[length - 1] == ' '))
        text[--length] = '\0';
    char message[700];
    std::snprintf(message, sizeof message, "%s failed (error %lu%s%s)", call, error,
                  length ? ": " : "", text);
    throw Failure(message);
}

}  // namespace korimbo
