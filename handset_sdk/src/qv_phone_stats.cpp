// The statistics query, an addition of this project after the designed
// operations: a snapshot of the counters the threads keep.
#include "qv_phone_control.h"

namespace handset_sdk {

int CQVPhoneControl::GetStatistics(QvPhoneStats* stats) {
    if (stats == nullptr || m_state.load() != kStateReady) return -1;
    m_stats.Fill(*stats, common::SteadyMs(), static_cast<int>(m_queue.Depth()));
    return 0;
}

}  // namespace handset_sdk
