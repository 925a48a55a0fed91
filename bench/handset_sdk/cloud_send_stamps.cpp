// Stamped on the cloud's streamer thread just before each video package goes
// to the stream server (the cloud's onVideoSent hook).
#include "cloud_send_stamps.h"

namespace handset_bench {

StampLog& CloudVideoSends() {
    static StampLog log;
    return log;
}

}  // namespace handset_bench
