#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

#include "platform/location_facts.h"
#include "settings/settings_location.h"

namespace {

// Sets or clears an environment variable for one test, then restores it.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const char* value) : name_(name) {
        if (const char* old = std::getenv(name)) old_ = old;
        value ? ::setenv(name, value, 1) : ::unsetenv(name);
    }
    ~ScopedEnv() { old_ ? ::setenv(name_, old_->c_str(), 1) : ::unsetenv(name_); }

private:
    const char* name_;
    std::optional<std::string> old_;
};

TEST(PosixSettingsLocation, HostFolderFromTheRunningExecutable) {
    const ScopedEnv noSwitch("TPP_STORE_IN_USERS_FOLDER", nullptr);
    const platform::LocationFacts facts = platform::GatherLocationFacts();
    const std::string self = std::filesystem::canonical("/proc/self/exe").string();
    EXPECT_EQ(facts.hostExecutablePath, self);
    EXPECT_EQ(platform::PluginModulePath(), self) << "the core is linked into this executable";
    EXPECT_NE(facts.commandLine.find("platform_posix_tests"), std::string::npos);
    EXPECT_FALSE(facts.storeInUsersFolder);
    EXPECT_EQ(SettingsFolder(facts, ""), self.substr(0, self.rfind('/') + 1) + "Plugins/");
    EXPECT_EQ(SettingsFolder(facts, "3"), self.substr(0, self.rfind('/') + 1) + "Instances/3/Plugins/");
}

TEST(PosixSettingsLocation, UsersFolderUnderTheXdgConfigurationFolderWhenAsked) {
    const ScopedEnv xdg("XDG_CONFIG_HOME", "/tmp/xdg-config");
    for (const char* on : {"1", "7", "-1"}) {
        const ScopedEnv store("TPP_STORE_IN_USERS_FOLDER", on);
        const platform::LocationFacts facts = platform::GatherLocationFacts();
        EXPECT_TRUE(facts.storeInUsersFolder) << on;
        EXPECT_EQ(SettingsFolder(facts, ""), "/tmp/xdg-config/Telvoria/Plugins/");
    }
    for (const char* off : {"0", "", "yes", "1x"}) {
        const ScopedEnv store("TPP_STORE_IN_USERS_FOLDER", off);
        EXPECT_FALSE(platform::GatherLocationFacts().storeInUsersFolder) << '"' << off << '"';
    }
}

TEST(PosixSettingsLocation, ConfigurationFolderDefaultsToDotConfigInHome) {
    const ScopedEnv xdg("XDG_CONFIG_HOME", "");
    const ScopedEnv home("HOME", "/home/viewer");
    EXPECT_EQ(platform::GatherLocationFacts().appDataFolder, "/home/viewer/.config");
    {
        const ScopedEnv relative("XDG_CONFIG_HOME", "config");
        EXPECT_EQ(platform::GatherLocationFacts().appDataFolder, "/home/viewer/.config") << "a relative one is ignored";
    }
    const ScopedEnv noHome("HOME", nullptr);
    const ScopedEnv store("TPP_STORE_IN_USERS_FOLDER", "1");
    EXPECT_EQ(SettingsFolder(platform::GatherLocationFacts(), ""), "") << "no per-user folder known: no file";
}

}  // namespace
