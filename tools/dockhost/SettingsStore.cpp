#include "SettingsStore.h"

#include <windows.h>

#include <sstream>

#include "HostText.h"

namespace dockhost {

SettingsStore::SettingsStore(std::wstring path) : path_(std::move(path)) {}

void SettingsStore::Load() {
    values_.clear();
    if (path_.empty()) return;
    std::istringstream lines(ReadFileText(path_));
    std::string line;
    uint32_t section = 0;
    bool inSection = false;
    while (std::getline(lines, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty() || line[0] == ';') continue;
        if (line.front() == '[' && line.back() == ']') {
            // [docklet N]
            const std::string name = line.substr(1, line.size() - 2);
            inSection = name.rfind("docklet ", 0) == 0;
            if (inSection) section = static_cast<uint32_t>(std::stoul(name.substr(8)));
            continue;
        }
        const size_t equals = line.find('=');
        if (!inSection || equals == std::string::npos) continue;
        values_[section][line.substr(0, equals)] = Utf8ToWide(line.substr(equals + 1));
    }
}

bool SettingsStore::Commit() {
    ++commits_;
    if (path_.empty()) return true;
    std::ostringstream text;
    text << "; Dock host emulator: docklet settings\r\n";
    for (const auto& [docklet, keys] : values_) {
        text << "[docklet " << docklet << "]\r\n";
        for (const auto& [key, value] : keys) {
            std::string line = WideToUtf8(value);
            for (char& c : line)
                if (c == '\r' || c == '\n') c = ' ';
            text << key << '=' << line << "\r\n";
        }
    }
    return WriteFileText(path_, text.str());
}

void SettingsStore::Set(uint32_t docklet, const std::string& key, std::wstring value) {
    values_[docklet][key] = std::move(value);
}

std::optional<std::wstring> SettingsStore::Get(uint32_t docklet, const std::string& key) const {
    const auto section = values_.find(docklet);
    if (section == values_.end()) return std::nullopt;
    const auto value = section->second.find(key);
    if (value == section->second.end()) return std::nullopt;
    return value->second;
}

void SettingsStore::Clear(uint32_t docklet) { values_.erase(docklet); }

}  // namespace dockhost
