#pragma once
// The session layer holds its notification target strongly; the SDK object
// hands it this forwarder instead, which holds the SDK only weakly, so the
// two never keep each other alive.
#include <memory>

#include "data_hub/data_hub.h"

namespace handset_sdk {

class CQVPhoneControl;

std::shared_ptr<data_hub::IDataHubNotic> MakeHubNoticForwarder(std::weak_ptr<CQVPhoneControl> target);

}  // namespace handset_sdk
