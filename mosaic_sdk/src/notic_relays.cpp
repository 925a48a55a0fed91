#include "notic_relays.h"

#include "pic_gc_control.h"

namespace mosaic_sdk {

void PlatNoticRelay::OnPhoneGroupControlConnectRsp(int result, int httpCode,
                                                   std::shared_ptr<plat_client::PhoneGroupControlConnectRsp> rsp,
                                                   const char*, void*) {
    if (auto owner = m_owner.lock()) owner->OnGroupControlAnswer(result, httpCode, rsp);
}

void PlatNoticRelay::OnScreenshotRsp(int result, int httpCode, std::shared_ptr<plat_client::ScreenshotRsp> rsp,
                                     const char*, void*) {
    if (auto owner = m_owner.lock()) owner->OnScreenshotAnswer(result, httpCode, rsp);
}

void PlatNoticRelay::OnHttpRsp(int result, int httpCode, const char* body, int bodyLength, const char* name,
                               void*) {
    if (auto owner = m_owner.lock()) owner->OnPictureAnswer(result, httpCode, body, bodyLength, name);
}

void NodeNoticRelay::OnNodeStatusNotic(int status, const char* nodeName, void*) {
    if (auto owner = m_owner.lock()) owner->OnNodeStatus(status, nodeName);
}

void NodeNoticRelay::OnNodeErrorNotic(fleet_link::EErrorType type, int code, const char* msg,
                                      const fleet_link::InstanceErrorInfo* infos, size_t count, const char*,
                                      void*) {
    if (auto owner = m_owner.lock()) owner->OnNodeError(type, code, msg, infos, count);
}

void NodeNoticRelay::OnStartControlRes(int code, const char*, const char* nodeName, void*) {
    if (auto owner = m_owner.lock()) owner->OnStartControlRes(code, nodeName);
}

void NodeNoticRelay::OnAddInstanceRes(int code, const char* msg, const char* nodeName, void*) {
    if (auto owner = m_owner.lock()) owner->OnNodeAnswerError(CQVPicGCControl::NodeAnswer::kAddInstance, code, msg, nodeName);
}

void NodeNoticRelay::OnReduceInstanceRes(int code, const char* msg, const char* nodeName, void*) {
    if (auto owner = m_owner.lock()) owner->OnNodeAnswerError(CQVPicGCControl::NodeAnswer::kReduceInstance, code, msg, nodeName);
}

void NodeNoticRelay::OnQueryInstanceStatusRes(int code, const char* msg, fleet_link::InstanceStateInfo* infos,
                                              size_t count, const char* nodeName, void*) {
    if (auto owner = m_owner.lock()) owner->OnQueryInstanceStatusRes(code, msg, infos, count, nodeName);
}

void NodeNoticRelay::OnSwitchMainRes(int code, const char* msg, const char* nodeName, void*) {
    if (auto owner = m_owner.lock()) owner->OnNodeAnswerError(CQVPicGCControl::NodeAnswer::kSwitchMain, code, msg, nodeName);
}

}  // namespace mosaic_sdk
