#pragma once
// Decodes what the local cloud sends (H.264 access units, JPEG pictures)
// with libavcodec, and looks at the pixels.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace cloudsim_test {

struct Picture {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> y;  // width x height
    std::vector<uint8_t> u;  // (width/2) x (height/2)
    std::vector<uint8_t> v;
};

class VideoDecoder {
public:
    // codecName: "h264" or "mjpeg".
    explicit VideoDecoder(const char* codecName = "h264");
    ~VideoDecoder();
    VideoDecoder(const VideoDecoder&) = delete;
    VideoDecoder& operator=(const VideoDecoder&) = delete;

    // Feeds one complete unit; the pictures it yields are appended to out.
    bool Decode(const uint8_t* data, size_t size, std::vector<Picture>& out);

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

bool DecodeJpeg(const std::string& bytes, Picture& out);

// The touch marker (pure red on the phone) covers (x, y).
bool MarkerAt(const Picture& picture, int x, int y);

// An Annex B NAL unit of this type (7 SPS, 8 PPS, 5 IDR slice) is in the data.
bool HasNal(const uint8_t* data, size_t size, int nalType);

}  // namespace cloudsim_test
