// Test entry for the desktop client: a private HOME, a private temp folder
// (single-instance lock, shared memory keys), an X server when the test needs
// real windows, then the Qt application and GoogleTest.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <QApplication>
#include <QDir>

#include <string>

#include <sys/stat.h>

#include "context/app_context.h"
#include "startup/startup.h"
#include "xvfb_peer/xvfb_server.h"

int main(int argc, char** argv) {
    // Listing the tests (CTest does it before every run) needs no display.
    for (int i = 1; i < argc; ++i) {
        if (std::string(argv[i]) == "--gtest_list_tests") {
            ::testing::InitGoogleTest(&argc, argv);
            return RUN_ALL_TESTS();
        }
    }
    char home[] = "/tmp/tessivo-app-test-XXXXXX";
    if (::mkdtemp(home) == nullptr) {
        return 2;
    }
    ::setenv("HOME", home, 1);
    ::unsetenv("XDG_CONFIG_HOME");
    ::setenv("XDG_CONFIG_DIRS", (std::string(home) + "/etc-xdg").c_str(), 1);
    const std::string tmp = std::string(home) + "/tmp";
    QDir().mkpath(QString::fromStdString(tmp));
    ::chmod(tmp.c_str(), 0700);  // a runtime folder must be private
    ::setenv("TMPDIR", tmp.c_str(), 1);
    ::setenv("XDG_RUNTIME_DIR", tmp.c_str(), 1);

    xvfb_peer::XvfbServer xvfb;
    const char* platform = ::getenv("QT_QPA_PLATFORM");
    const bool offscreen = platform && std::string(platform) == "offscreen";
    if (!offscreen && ::getenv("DISPLAY") == nullptr && !xvfb.Start(1280, 800)) {
        std::fprintf(stderr, "could not start Xvfb\n");
        return 2;
    }

    ::testing::InitGoogleTest(&argc, argv);
    app::ConfigureProcess();
    QApplication application(argc, argv);
    app::ConfigureApplication();
    app::AppContext::OpenSettings(QString::fromLatin1(home) + "/configuration.ini");
    const int result = RUN_ALL_TESTS();
    QDir(QString::fromLatin1(home)).removeRecursively();
    return result;
}
