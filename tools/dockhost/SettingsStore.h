// The host's per-docklet key/value storage, kept in an INI-style UTF-8 file:
// one section per docklet id. Writes stay in memory until Commit.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>

namespace dockhost {

class SettingsStore {
public:
    // An empty path keeps everything in memory only.
    explicit SettingsStore(std::wstring path = {});

    void Load();
    bool Commit();

    void Set(uint32_t docklet, const std::string& key, std::wstring value);
    std::optional<std::wstring> Get(uint32_t docklet, const std::string& key) const;
    void Clear(uint32_t docklet);
    int Commits() const { return commits_; }

private:
    std::wstring path_;
    std::map<uint32_t, std::map<std::string, std::wstring>> values_;
    int commits_ = 0;
};

}  // namespace dockhost
