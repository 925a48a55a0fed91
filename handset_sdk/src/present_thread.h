#pragma once
// Show mode's present thread: decoded pictures are converted and put into the
// application's window here, so that the decode thread goes on with the next
// frame and the sound while the X server (or the GPU) takes the picture.
//
// The video player is made, used and released on this thread alone (an
// OpenGL context belongs to the thread that made it current). One picture
// waits at most: handing over the next waits until the thread has taken the
// previous one, so every picture is drawn, in order, and a window that
// presents slowly paces decoding as it did when both ran on one thread.
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

#include "codec/codec_out_params.h"
#include "handset_sdk/handset_sdk.h"
#include "video_player/video_player.h"

namespace handset_sdk {

struct PresentJob {
    codec_interface::CVideoDecodeOutParam picture;  // holds the decoded frame
    RECT rect;
    int mode = 0;
};

class CPresentThread {
public:
    // Makes and sets up the player on the present thread; nullptr on failure.
    using PlayerMaker = std::function<std::shared_ptr<video_player::IVideoPlayInterface>()>;
    // Called on the present thread for each picture the player drew, with
    // the microseconds the drawing took.
    using Shown = std::function<void(int64_t micros)>;

    CPresentThread() = default;
    ~CPresentThread();
    CPresentThread(const CPresentThread&) = delete;
    CPresentThread& operator=(const CPresentThread&) = delete;

    // Starts the thread and waits until it has made its player. true when it
    // runs (also when it ran already); false, the thread ended, when no
    // player could be made.
    bool Start(PlayerMaker make, Shown shown);
    // Hands a picture over; waits while the previous one has not been taken.
    // false when no thread runs.
    bool Submit(PresentJob job);
    // Waits until every picture handed over has been drawn (or refused).
    void Drain();
    // Ends the thread, which drops a picture it has not taken yet and
    // releases its player.
    void Stop();

private:
    void Run(const PlayerMaker& make, const Shown& shown);
    // Draws one picture; the job's frame is let go before the next wait.
    static void Present(video_player::IVideoPlayInterface& player, const PresentJob& job, const Shown& shown);

    std::mutex m_mutex;
    std::condition_variable m_work;  // the present thread waits for a picture or the stop
    std::condition_variable m_done;  // set-up finished, a picture taken or drawn
    std::thread m_thread;            // started and joined by the decode thread or Release
    bool m_setUp = false;            // the thread finished making its player
    bool m_running = false;          // ... and has one
    bool m_stop = false;
    bool m_drawing = false;
    std::optional<PresentJob> m_next;
};

}  // namespace handset_sdk
