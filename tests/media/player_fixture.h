#pragma once
// An X display (Xvfb when none is set) for the video player tests, a window
// on it and the player's log lines.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "base/base_log.h"
#include "common/qv_log.h"
#include "video_player/video_player.h"
#include "x_display.h"

namespace mediatest {

// Sets an environment variable for one test and puts the old value back.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const char* value) : m_name(name) {
        if (const char* old = std::getenv(name)) m_old = std::make_unique<std::string>(old);
        setenv(name, value, 1);
    }
    ~ScopedEnv() {
        if (m_old) {
            setenv(m_name.c_str(), m_old->c_str(), 1);
        } else {
            unsetenv(m_name.c_str());
        }
    }

private:
    std::string m_name;
    std::unique_ptr<std::string> m_old;
};

class PlayerTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        s_display = std::make_unique<XDisplay>();
        if (!s_display->Open()) s_display.reset();
    }
    static void TearDownTestSuite() { s_display.reset(); }

    void SetUp() override {
        if (!s_display) GTEST_SKIP() << "no X display and no Xvfb";
        QvLogParam log{};
        log.level = 0;
        common::CopyText(log.directory, ::testing::TempDir().c_str());
        common::CopyText(log.name, "video_player_test");
        log.fileSizeKb = 1024;
        log.fileCount = 1;
        common::ApplyLogParam(&log, "video_player_test");
        base::SetLogCapture([this](int, const std::string& line) {
            std::lock_guard<std::mutex> lock(m_logMutex);
            m_lines.push_back(line);
        });
    }
    void TearDown() override { base::SetLogCapture(nullptr); }

    // The first captured line that contains text; empty when none does.
    std::string LineWith(const std::string& text) {
        std::lock_guard<std::mutex> lock(m_logMutex);
        for (const auto& line : m_lines) {
            if (line.find(text) != std::string::npos) return line;
        }
        return {};
    }

    static std::unique_ptr<XDisplay> s_display;

private:
    std::mutex m_logMutex;
    std::vector<std::string> m_lines;
};

inline std::unique_ptr<XDisplay> PlayerTest::s_display;

}  // namespace mediatest
