#pragma once
// The one object behind IDataHub, IQVInternalDataInterface and
// IQVDataDummyReqInterface: platform client and stream link of one session.
#include <atomic>
#include <memory>
#include <mutex>
#include <string>

#include "data_hub/data_hub.h"
#include "hub_config.h"
#include "plat_client/plat_client.h"
#include "relay_port/relay_port.h"

namespace data_hub {

class CQVDataControl final : public IQVInternalDataInterface,
                             public IQVDataDummyReqInterface,
                             public relay_port::IRelayPortNotic,
                             public plat_client::IPlatClientNotic,
                             public std::enable_shared_from_this<CQVDataControl> {
public:
    CQVDataControl();
    ~CQVDataControl() override;

    // IDataHub
    int Init(const char* baseUrl, const char* userId, const char* accessKey, const char* secretKey,
             const char* instanceNo, int mode, std::shared_ptr<IDataHubNotic> notic, const QvVideoParam* video,
             const QvDataSystemParam* system) override;
    int UnInit() override;
    int Start() override;
    int SendInTouchReq(uint32_t action, const uint32_t* xs, const uint32_t* ys, int count) override;
    int SendInKeyReq(uint8_t flag, uint8_t key) override;
    int SendInLocationReq(float p1, float p2, float p3, float p4, float p5, float p6, float p7, float p8) override;
    int SendInSensorReq(uint32_t type, float x, float y, float z) override;
    int SendMsgTransReq(const char* service, const char* msg) override;
    int SendCopyStringReq(const char* text) override;
    int SendInputStringReq(const char* text) override;
    int SendPlayControlReq(uint8_t first, uint8_t second) override;
    int SendSetVideoParamReq(int fps, uint32_t bitrate, uint32_t width, uint32_t height) override;
    int SendInMicParamReq(uint32_t a, uint32_t b, uint32_t c) override;
    int SendInMicDataReq(const void* data, size_t length) override;
    int SendInCameraParamReq(uint32_t format, uint32_t b, uint32_t c, const void* blob, int blobLength) override;
    int SendInCameraDataReq(const void* data, size_t length) override;
    int SendSetRotationReq(uint32_t a, uint32_t b) override;
    int SendInputModeReq(uint32_t mode) override;

    // IQVInternalDataInterface
    void ReportStat(int metric, int collectType, int errorCode, const char* requestUrl,
                    const char* responseBody) override;
    void SetSdkVersion1(const char* text) override;

    // IQVDataDummyReqInterface
    int SendDummyReq() override;

    // plat_client::IPlatClientNotic
    void OnPhoneConnectRsp(int result, int httpCode, std::shared_ptr<plat_client::PhoneConnectRsp> rsp,
                           const char* name, void* userData) override;
    void OnRefreshSessionRsp(int result, int httpCode, std::shared_ptr<plat_client::RefreshSessionRsp> rsp,
                             const char* name, void* userData) override;
    void OnSecurityTokenRsp(int result, int httpCode, std::shared_ptr<plat_client::SecurityTokenRsp> rsp,
                            const char* name, void* userData) override;

    // relay_port::IRelayPortNotic
    void OnConnectStatus(int status) override;
    void OnPlayRes(int code, const char* msg, int videoCodec, int bitrate, int fps, int width, int height,
                   int audioCodec, int sampleRate, int channels) override;
    void OnMsgTransRes(int code, const char* service, const char* msg) override;
    void OnMsgTransReq(const char* service, const char* msg) override;
    void OnOutSensor(int type, bool on) override;
    void OnOutCopy(const char* text) override;
    void OnOutScreen(int rotation, int fps, int bitrate, int width, int height) override;
    void OnAVPlayRes(int code, const char* msg) override;
    void OnAVConfRes(int code, const char* msg, int fps, int bitrate, int width, int height) override;
    void OnOutMic(bool on, int samples) override;
    void OnOutCamera(int type, bool on, uint16_t width, uint16_t height) override;
    void OnDelay(uint32_t delayMs) override;
    void OnError(int code, const char* msg) override;
    void OnVideoData(uint64_t first, uint64_t second, const uint8_t* data, uint32_t length) override;
    void OnAudioData(const uint8_t* data, uint32_t length) override;
    void OnCursor(bool shown) override;
    void OnSetRotationRes(int code) override;

private:
    // The stream link while the hub is initialised and started, else null.
    std::shared_ptr<relay_port::IRelayPort> ActiveLink();
    std::shared_ptr<IDataHubNotic> Notic();
    std::shared_ptr<plat_client::IPlatClient> Platform();
    void InitStatistics();
    void StartStreamLink(const plat_client::PhoneConnectRsp& rsp);
    void DropStreamLink();
    void Status(int code, const char* msg);
    template <class F>
    void UpdateStat(F&& change) {
        std::lock_guard<std::mutex> lock(m_statMutex);
        change(m_stat);
    }

    std::atomic<int32_t> m_initState{0};
    std::atomic<bool> m_started{false};
    std::atomic<bool> m_firstFrame{false};

    std::mutex m_mutex;  // guards the members below
    std::shared_ptr<plat_client::IPlatClient> m_plat;
    std::shared_ptr<relay_port::IRelayPort> m_relay;
    std::shared_ptr<IDataHubNotic> m_notic;
    std::shared_ptr<CConfig> m_config;
    std::string m_baseUrl, m_userId, m_accessKey, m_secretKey, m_instanceNo;
    int m_mode = 0;
    QvVideoParam m_video;
    QvDataSystemParam m_system;

    std::mutex m_statMutex;
    plat_client::MessageCollect m_stat;
};

}  // namespace data_hub
