#include "CallLog.h"

#include <cstdio>

namespace dockhost {

void CallLog::Add(const std::string& line) {
    lines_.push_back(line);
    if (echo_) {
        std::fprintf(echo_, "%s\n", line.c_str());
        std::fflush(echo_);
    }
}

std::vector<std::string> CallLog::Matching(const std::string& prefix) const {
    std::vector<std::string> found;
    for (const std::string& line : lines_)
        if (line.rfind(prefix, 0) == 0) found.push_back(line);
    return found;
}

std::string Quoted(const std::string& utf8) {
    std::string text = "\"";
    for (const char raw : utf8) {
        const auto c = static_cast<unsigned char>(raw);
        if (c == '"' || c == '\\') {
            text += '\\';
            text += static_cast<char>(c);
        } else if (c < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", c);
            text += escaped;
        } else {
            text += static_cast<char>(c);
        }
    }
    return text + "\"";
}

}  // namespace dockhost
