#pragma once
// Plays one data source into one display. The source and the display must
// outlive the player's stream; stop (or destruction) ends it and joins the
// SDK's threads.
#include "swplay_u/swplay_api.h"

namespace swplay_u {

class SWDataSource;
class VideoDisplayWinBase;

class SWPLAY_U_API SWPlayer {
public:
    SWPlayer();
    ~SWPlayer();
    SWPlayer(const SWPlayer&) = delete;
    SWPlayer& operator=(const SWPlayer&) = delete;

    int getId() const { return m_id; }
    int setDataSource(SWDataSource* source);
    int setDisplay(VideoDisplayWinBase* display);
    // Connects, logs in and plays. -1 without runtime, source, display or login parameters.
    int start();
    void stop();

private:
    int m_id;
    SWDataSource* m_source = nullptr;
    VideoDisplayWinBase* m_display = nullptr;
    bool m_started = false;
};

}  // namespace swplay_u
