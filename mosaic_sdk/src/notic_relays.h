#pragma once
// The notification targets handed to the platform client and the node links.
// They hold the group weakly, so the lower libraries never keep it alive, and
// pass every notification on while it lives.
#include <memory>

#include "fleet_link/gc_node_interface.h"
#include "plat_client/plat_client.h"

namespace mosaic_sdk {

class CQVPicGCControl;

class PlatNoticRelay : public plat_client::IPlatClientNotic {
public:
    explicit PlatNoticRelay(std::weak_ptr<CQVPicGCControl> owner) : m_owner(std::move(owner)) {}
    void OnPhoneGroupControlConnectRsp(int result, int httpCode,
                                       std::shared_ptr<plat_client::PhoneGroupControlConnectRsp> rsp,
                                       const char* name, void* userData) override;
    void OnScreenshotRsp(int result, int httpCode, std::shared_ptr<plat_client::ScreenshotRsp> rsp,
                         const char* name, void* userData) override;
    void OnHttpRsp(int result, int httpCode, const char* body, int bodyLength, const char* name,
                   void* userData) override;

private:
    std::weak_ptr<CQVPicGCControl> m_owner;
};

class NodeNoticRelay : public fleet_link::IPicGCWSNodeNotic {
public:
    explicit NodeNoticRelay(std::weak_ptr<CQVPicGCControl> owner) : m_owner(std::move(owner)) {}
    void OnNodeStatusNotic(int status, const char* nodeName, void* userData) override;
    void OnNodeErrorNotic(fleet_link::EErrorType type, int code, const char* msg,
                          const fleet_link::InstanceErrorInfo* infos, size_t count, const char* nodeName,
                          void* userData) override;
    void OnStartControlRes(int code, const char* msg, const char* nodeName, void* userData) override;
    void OnAddInstanceRes(int code, const char* msg, const char* nodeName, void* userData) override;
    void OnReduceInstanceRes(int code, const char* msg, const char* nodeName, void* userData) override;
    void OnQueryInstanceStatusRes(int code, const char* msg, fleet_link::InstanceStateInfo* infos, size_t count,
                                  const char* nodeName, void* userData) override;
    void OnSwitchMainRes(int code, const char* msg, const char* nodeName, void* userData) override;

private:
    std::weak_ptr<CQVPicGCControl> m_owner;
};

}  // namespace mosaic_sdk
