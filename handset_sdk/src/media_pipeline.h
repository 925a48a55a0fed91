#pragma once
// The decoders and players of one SDK object. Created on first need by the
// decode thread and used only there, except the output size, which the
// application may change at any time, and the video player, which lives on
// the present thread (see present_thread.h).
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

#include "audio_player/audio_player.h"
#include "codec/codec_interface.h"
#include "frame_queue.h"
#include "handset_sdk/handset_sdk.h"
#include "present_thread.h"
#include "video_player/video_player.h"

namespace handset_sdk {

class CMediaPipeline {
public:
    // Receives the status code of a set-up step that failed.
    using FailReport = std::function<void(int code)>;

    // Creates the video decoder when missing; false when it cannot be made.
    bool SetUpVideoDecoder(const QvPhoneParam& video, int decodeMode, const FailReport& fail);
    // Starts the present thread with its video player when missing; false
    // when the player cannot be made. shown runs on the present thread for
    // each picture drawn.
    bool SetUpVideoPlayer(const QvPhoneParam& video, int decodeMode, HWND window, CPresentThread::Shown shown,
                          const FailReport& fail);
    // Create the audio decoder and player when missing; a failure is tried again next time.
    void SetUpAudioDecoder(const QvAudioParam& audio, const FailReport& fail);
    void SetUpAudioPlayer(const QvAudioParam& audio, const FailReport& fail);

    // 1 with a picture in out; below 1 when the frame gave none.
    int DecodeVideo(const Buff& frame, codec_interface::CVideoDecodeOutParam& out);
    // Hands the picture to the present thread, which draws it into rect
    // turned by mode; waits while the previous picture has not been taken.
    // false without a player.
    bool Present(PresentJob job);
    // Waits until every picture handed over has been drawn.
    void WaitPresented();
    // Converts picture into the pipeline's buffer in pixelFormat; false (and
    // logged) when the conversion did not fill it.
    bool CopyOut(const codec_interface::CVideoDecodeOutParam& picture, int pixelFormat, const uint8_t*& data,
                 int& size);

    // The samples per channel decoded, or below 1.
    int DecodeAudio(const Buff& frame, codec_interface::CAudioDecodeOutParam& out);
    // Plays when there is an audio player; false without one.
    bool PlayAudio(const codec_interface::CAudioDecodeOutParam& block);
    // Milliseconds of sound the audio player holds; -1 without one.
    int AudioQueuedMs() const;

    // Stores the size pictures are handed out at and gives it to the decoder
    // when there is one; -1 without a decoder or when the decoder refuses it.
    int SetOutputSize(int width, int height);

    void Release();

private:
    std::mutex m_videoMutex;  // decoder and output size
    std::shared_ptr<codec_interface::ICodecInterface> m_videoDecoder;
    int m_outWidth = 0;
    int m_outHeight = 0;

    std::shared_ptr<codec_interface::ICodecInterface> m_audioDecoder;
    std::shared_ptr<audio_player::IAudioPlayInterface> m_audioPlayer;
    std::vector<uint8_t> m_outBuffer;
    CPresentThread m_present;  // last: its thread ends before the rest goes
};

}  // namespace handset_sdk
