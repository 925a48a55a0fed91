#include "relay_port_params.h"

namespace relay_port {

bool CheckVideoParam(const WsVideoParam& video) {
    return video.width >= 100 && video.width <= 4096 && video.height >= 100 && video.height <= 4096 &&
           video.fps <= 60;
}

bool CheckAudioParam(const WsAudioParam& audio) {
    return audio.sampleRate >= 8000 && audio.sampleRate <= 384000 && audio.channels >= 1 && audio.channels <= 16;
}

bool CheckSystemParam(const WsSystemParam& system) {
    return system.connectTimeoutMs >= 1000 && system.connectTimeoutMs <= 30000 &&
           system.reconnectIntervalMs >= 1000 && system.reconnectIntervalMs <= 60000;
}

}  // namespace relay_port
