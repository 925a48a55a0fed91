#pragma once
// The group SDK's notifications for a group window. They arrive on the SDK's
// loop threads (OnQueryInstanceStatus and OnQueryNodeStatus on the caller's); the installed
// callbacks are the channel's, which move the work to the GUI thread.
// Pictures are decoded here, off the GUI thread.
#include <QImage>
#include <QString>
#include <QVector>

#include <functional>
#include <mutex>

#include "mosaic_sdk/mosaic_sdk.h"

namespace app {

// One instance of the group table, as the window keeps it.
struct GroupInstanceState {
    QString instanceNo;
    QString nodeNo;  // empty: the platform refused it
    int state = 0;
    int errCode = 0;
};

// One group-control node, as QueryNodeStatus reports it (mosaic_sdk::MosaicNodeState).
struct GroupNodeState {
    QString nodeNo;
    int state = 0;
    int refusalCode = 0;
};

class CPicGCNotic : public mosaic_sdk::IPicGCNotic {
public:
    struct Callbacks {
        std::function<void(int code, const QString& msg)> started;  // the start's result
        std::function<void(const QString& mainNo, const QVector<GroupInstanceState>& table)> table;
        std::function<void(const QString& instanceNo, const QImage& picture)> picture;
        std::function<void(const QVector<GroupNodeState>& nodes)> nodes;
    };

    void SetCallbacks(Callbacks callbacks);
    // No callback runs once this returns.
    void ClearCallbacks();

    void OnErrorNotic(int code, const char* msg, void* userData) override;
    void OnQueryInstanceStatus(const char* mainInstanceNo, const mosaic_sdk::InstanceStatusInfo* infos, size_t count,
                               void* userData) override;
    void OnPicData(const char* instanceNo, const char* data, size_t length, void* userData) override;
    void OnQueryNodeStatus(const mosaic_sdk::NodeStatusInfo* infos, size_t count, void* userData) override;

private:
    std::mutex m_mutex;
    Callbacks m_callbacks;
};

}  // namespace app
