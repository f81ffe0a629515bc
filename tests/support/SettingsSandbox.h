// Points the settings stores and the per-user folders of the process at a fresh temporary
// folder for one test, and puts everything back afterwards.
#pragma once

#include "platform/Registry.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

class SettingsSandbox {
public:
    SettingsSandbox() {
        const char* base = std::getenv("TMPDIR");
        std::string pattern = std::string(base && *base ? base : "/tmp") + "/lyrex-settings-XXXXXX";
        if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
        root_ = pattern;
        Set("XDG_CONFIG_HOME", root_ + "/config");
        Set("XDG_DATA_HOME", root_ + "/data");
        Set("XDG_DATA_DIRS", root_ + "/common");
        Set("LYREX_MACHINE_STORE", root_ + "/machine");
        Set("LYREX_DATA_DIR", root_ + "/install");
        RegistryForgetCachedStores();
    }
    ~SettingsSandbox() {
        RegistryForgetCachedStores();
        for (auto it = saved_.rbegin(); it != saved_.rend(); ++it) {
            if (it->second.first) {
                setenv(it->first.c_str(), it->second.second.c_str(), 1);
            } else {
                unsetenv(it->first.c_str());
            }
        }
        std::error_code ec;
        std::filesystem::permissions(root_, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ec);
        std::filesystem::remove_all(root_, ec);
    }
    SettingsSandbox(const SettingsSandbox&) = delete;
    SettingsSandbox& operator=(const SettingsSandbox&) = delete;

    const std::string& Root() const { return root_; }
    std::string UserStore() const { return root_ + "/config/Lyrex/Ondrel2/user-registry.txt"; }
    std::string MachineStore() const { return root_ + "/machine/machine-registry.txt"; }

    // Sets an environment variable for the life of the sandbox.
    void Set(const std::string& name, const std::string& value) {
        const char* old = std::getenv(name.c_str());
        saved_.emplace_back(name, std::make_pair(old != nullptr, old ? std::string(old) : std::string()));
        setenv(name.c_str(), value.c_str(), 1);
    }

    static void WriteFile(const std::string& path, const std::string& bytes) {
        std::filesystem::create_directories(std::filesystem::path(path).parent_path());
        std::ofstream(path, std::ios::binary) << bytes;
    }
    static std::string ReadFile(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    // Names in a folder that begin with prefix.
    static std::vector<std::string> Entries(const std::string& folder, const std::string& prefix) {
        std::vector<std::string> out;
        std::error_code ec;
        for (const auto& e : std::filesystem::directory_iterator(folder, ec)) {
            std::string n = e.path().filename().string();
            if (n.rfind(prefix, 0) == 0) out.push_back(n);
        }
        return out;
    }

private:
    std::string root_;
    std::vector<std::pair<std::string, std::pair<bool, std::string>>> saved_;
};
