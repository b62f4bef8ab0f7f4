// Every call between the host and the plug-in, one readable line each.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

namespace dockhost {

class CallLog {
public:
    // Lines are kept in memory and, when echo is set, also printed as they come.
    void SetEcho(std::FILE* stream) { echo_ = stream; }
    void Add(const std::string& line);
    const std::vector<std::string>& Lines() const { return lines_; }
    // Lines that begin with prefix, in order.
    std::vector<std::string> Matching(const std::string& prefix) const;
    // Forgets every line and gives their memory back.
    void Clear() { std::vector<std::string>().swap(lines_); }

private:
    std::vector<std::string> lines_;
    std::FILE* echo_ = nullptr;
};

// "text" with quotes, control characters escaped, as UTF-8.
std::string Quoted(const std::string& utf8);

}  // namespace dockhost
