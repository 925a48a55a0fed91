#pragma once
// Checks of the hub's parameter records.
#include "data_hub/data_hub.h"

namespace data_hub {

// Each logs its reason and returns false for a record out of bounds.
bool CheckVideoParam(const QvVideoParam& video);
bool CheckSystemParam(const QvDataSystemParam& system);

// The platform address used when the caller gives none.
const char* DefaultPlatformUrl();

constexpr const char* kHubVersion = "1.1.0";

int64_t NowMs();

}  // namespace data_hub
