#pragma once
// The group-control node link manager: owns one network engine and opens
// links to group-control nodes on it.
#include <memory>

#include "fleet_link/fleet_link_records.h"
#include "fleet_link/gc_node_interface.h"

namespace fleet_link {

class FLEET_LINK_API IFleetLink {
public:
    static std::shared_ptr<IFleetLink> CreateFleetLink();

    IFleetLink() = default;
    IFleetLink(const IFleetLink&) = default;
    IFleetLink& operator=(const IFleetLink&) = default;

    // Creates and starts the engine; -1 when already initialised or on failure.
    virtual int Init() = 0;
    // Stops the engine. Remove every node first: open node timers keep the
    // engine's loop alive.
    virtual int UnInit() = 0;
    // Opens a link in the background; success shows as OnNodeStatusNotic(2).
    // Returns an empty pointer before Init or when the node cannot start.
    virtual std::shared_ptr<IPicGCWSNodeInterface> AddGCNode(std::shared_ptr<IPicGCWSNodeNotic> notic,
                                                             const char* url, const char* sdkVersion,
                                                             const char* nodeName, bool autoReconnect,
                                                             int autoQueryIntervalMs, int reconnectIntervalMs,
                                                             int connectTimeoutMs, void* userData) = 0;
    // Closes a link made by AddGCNode; anything else is ignored.
    virtual void RemoveGCNode(std::shared_ptr<IPicGCWSNodeInterface> node) = 0;
    virtual ~IFleetLink() = default;
};

}  // namespace fleet_link
