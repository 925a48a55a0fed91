// The Linux stand-ins for the Windows calls.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <fstream>
#include <regex>

#include "platform/auto_start.h"
#include "platform/config_value.h"
#include "platform/instance_lock.h"
#include "platform/processor_id.h"
#include "platform/program_file.h"
#include "platform/shell_open.h"
#include "platform/xdg_paths.h"

namespace {

std::string Home() { return ::getenv("HOME"); }

TEST(PlatformTest, ProgramFileAndProcessorId) {
    EXPECT_EQ(platform::ProgramFileName(), "app_unit_tests");
    EXPECT_EQ(platform::ProgramFilePath().front(), '/');
    EXPECT_EQ(platform::FormatProcessorId(0xBFEBFBFF, 0x000906EA), "BFEBFBFF000906EA");
    EXPECT_TRUE(std::regex_match(platform::ProcessorId(), std::regex("[0-9A-F]{16}")));
}

TEST(PlatformTest, ConfigValuesAreReadAlongTheXdgDirectories) {
    const std::string system = Home() + "/etc-xdg";
    ASSERT_TRUE(platform::MakeDirs(system + "/boxApp"));
    std::ofstream(system + "/boxApp/sdkParam") << "from-system";
    EXPECT_EQ(platform::ReadConfigValue("boxApp", "sdkParam"), "from-system");
    ASSERT_EQ(platform::WriteConfigValue("boxApp", "sdkParam", "from-user"), 0);
    EXPECT_EQ(platform::ReadConfigValue("boxApp", "sdkParam"), "from-user");  // the user's file wins
    EXPECT_EQ(platform::RemoveConfigValue("boxApp", "sdkParam"), 0);
    EXPECT_EQ(platform::ReadConfigValue("boxApp", "sdkParam"), "from-system");
    EXPECT_EQ(platform::ReadConfigValue("boxApp", "missing"), "");
    EXPECT_EQ(platform::ReadConfigValue("..", "etc-xdg"), "");
    EXPECT_EQ(platform::WriteConfigValue("boxApp", "../escape", "x"), -1);

    ::setenv("XDG_CONFIG_HOME", (Home() + "/xdg-home").c_str(), 1);
    EXPECT_EQ(platform::ConfigHome(), Home() + "/xdg-home");
    ::setenv("XDG_CONFIG_HOME", "relative/ignored", 1);
    EXPECT_EQ(platform::ConfigHome(), Home() + "/.config");
    ::unsetenv("XDG_CONFIG_HOME");
}

TEST(PlatformTest, AutoStartEntryRunsTheProgramAndQuotesItsPath) {
    const std::string program = "/opt/my box/run \"x\" $HOME 100%";
    ASSERT_EQ(platform::EnableAutoStart("com.test.box", "Test Box", program), 0);
    const std::string path = platform::AutoStartEntryPath("com.test.box");
    EXPECT_EQ(path, Home() + "/.config/autostart/com.test.box.desktop");
    std::ifstream in(path);
    std::string content((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_NE(content.find("Type=Application\n"), std::string::npos);
    EXPECT_NE(content.find("Name=Test Box\n"), std::string::npos);
    EXPECT_NE(content.find(R"(Exec="/opt/my box/run \\"x\\" \\$HOME 100%%")"), std::string::npos) << content;
    EXPECT_FALSE(platform::AutoStartCommand("com.test.box").empty());
    EXPECT_EQ(platform::DisableAutoStart("com.test.box"), 0);
    EXPECT_EQ(platform::AutoStartCommand("com.test.box"), "");
    EXPECT_EQ(platform::EnableAutoStart("../evil", "x", "/bin/true"), -1);
}

TEST(PlatformTest, InstanceLockIsExclusiveUntilReleased) {
    const std::string path = Home() + "/lock-test";
    platform::InstanceLock a, b;
    ASSERT_EQ(a.Acquire(path), 0);
    EXPECT_EQ(b.Acquire(path), -1);
    a.Release();
    EXPECT_EQ(b.Acquire(path), 0);
}

TEST(PlatformTest, PathsAndNames) {
    EXPECT_EQ(platform::ToLocalPath("/opt/box\\temp\\setup.exe"), "/opt/box/temp/setup.exe");
    EXPECT_EQ(platform::ToLocalPath("/opt/box//temp"), "/opt/box/temp");
    EXPECT_TRUE(platform::IsPlainFileName("setup.exe"));
    for (const char* bad : {"", ".", "..", "a/b", "a\\b"}) EXPECT_FALSE(platform::IsPlainFileName(bad)) << bad;
}

}  // namespace
