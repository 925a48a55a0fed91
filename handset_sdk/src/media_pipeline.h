#pragma once
// The decoders and players of one SDK object. Created on first need by the
// decode thread and used only there, except the output size, which the
// application may change at any time.
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

#include "audio_player/audio_player.h"
#include "codec/codec_interface.h"
#include "frame_queue.h"
#include "handset_sdk/handset_sdk.h"
#include "video_player/video_player.h"

namespace handset_sdk {

class CMediaPipeline {
public:
    // Receives the status code of a set-up step that failed.
    using FailReport = std::function<void(int code)>;

    // Creates the video decoder when missing; false when it cannot be made.
    bool SetUpVideoDecoder(const QvPhoneParam& video, int decodeMode, const FailReport& fail);
    // Creates the video player when missing; false when it cannot be made.
    bool SetUpVideoPlayer(const QvPhoneParam& video, int decodeMode, HWND window, const FailReport& fail);
    // Create the audio decoder and player when missing; a failure is tried again next time.
    void SetUpAudioDecoder(const QvAudioParam& audio, const FailReport& fail);
    void SetUpAudioPlayer(const QvAudioParam& audio, const FailReport& fail);

    // 1 with a picture in out; below 1 when the frame gave none.
    int DecodeVideo(const Buff& frame, codec_interface::CVideoDecodeOutParam& out);
    int Draw(const codec_interface::CVideoDecodeOutParam& picture, const RECT& rect, int mode);
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
    std::shared_ptr<video_player::IVideoPlayInterface> m_videoPlayer;
    std::shared_ptr<audio_player::IAudioPlayInterface> m_audioPlayer;
    std::vector<uint8_t> m_outBuffer;
};

}  // namespace handset_sdk
