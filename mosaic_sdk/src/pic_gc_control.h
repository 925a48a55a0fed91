#pragma once
// CQVPicGCControl: the one implementation of IMosaicSdk. Its operations are
// spread over files by concern: life cycle (pic_gc_control.cpp), the start's
// platform answer (pic_gc_start.cpp), node notifications (pic_gc_nodes.cpp),
// pictures (pic_gc_pictures.cpp), instance management (pic_gc_instances.cpp)
// and input fan-out (pic_gc_input.cpp).
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "fleet_link/fleet_link.h"
#include "gc_params.h"
#include "group_tables.h"
#include "mosaic_sdk/mosaic_sdk.h"
#include "plat_client/plat_client.h"

namespace mosaic_sdk {

class PlatNoticRelay;
class NodeNoticRelay;

using handset_sdk::IHandsetSdk;

enum GroupState : int32_t { kGroupIdle = 0, kGroupInitialising = 1, kGroupReady = 2, kGroupTearingDown = 3 };

class CQVPicGCControl final : public IMosaicSdk, public std::enable_shared_from_this<CQVPicGCControl> {
public:
    // Milliseconds since 1970; FlushPic's rate limit reads it.
    using Clock = std::function<int64_t()>;

    CQVPicGCControl();
    explicit CQVPicGCControl(Clock clock);
    ~CQVPicGCControl();

    // IMosaicSdk
    int Init(std::shared_ptr<IQVPhoneNotic> phoneNotic, std::shared_ptr<IPicGCNotic> notic, const QvDataParam* data,
             const QvPicGCSysParam* gcParam, const QvPhoneParam* phoneParam, const QvSysParam* sysParam,
             const QVOutParam* outParam, void* userData) override;
    int Uninit() override;
    int Start(const char* const* instanceNos, uint32_t count) override;
    int AddInstance(const char* const* instanceNos, uint32_t count) override;
    int ReduceInstance(const char* const* instanceNos, uint32_t count) override;
    int QueryInstanceStatus() override;
    int FlushPic() override;
    int SwitchMain(const char* newMainInstanceNo) override;
    int StartShow(HWND window, const RECT* rect, int mode) override;
    int StartOut() override;
    int SetOutSize(int width, int height) override;
    int SetCaptureSource(std::shared_ptr<capture::ICaptureSource> source, void* extra) override;
    int ResetCaptureSource(std::shared_ptr<capture::ICaptureSource> source) override;
    int SendTouch(uint32_t type, const int* xs, const int* ys, int count) override;
    int SendTouchRaw(uint32_t type, const int* xs, const int* ys, int count) override;
    int SendKey(uint32_t isDown, const uint8_t* key) override;
    int OnImeMessage(int message, uint64_t wParam, uint64_t lParam, char* echo, uint32_t echoSize) override;
    int SendControlKey(int key) override;
    int SendVolume(uint32_t up) override;
    int SendLocation(float p1, float p2, float p3, float p4, float p5, float p6, float p7, float p8) override;
    int SendSensor(uint32_t type, float x, float y, float z) override;
    int SendMsgTrans(const char* service, const char* msg) override;
    int SendCopyString(const char* text) override;
    int SendInputString(const char* text) override;
    int InputInstanceInput(const InstanceInput* infos, uint32_t count) override;
    int InputInstanceClipboard(const InstanceInput* infos, uint32_t count) override;
    int GetStatistics(QvPicGCStats* stats) override;  // pic_gc_stats.cpp
    int QueryNodeStatus() override;                   // pic_gc_node_status.cpp

    // Platform answers (the platform client's loop thread).
    void OnGroupControlAnswer(int result, int httpCode,
                              const std::shared_ptr<plat_client::PhoneGroupControlConnectRsp>& answer);
    void OnScreenshotAnswer(int result, int httpCode, const std::shared_ptr<plat_client::ScreenshotRsp>& answer);
    void OnPictureAnswer(int result, int httpCode, const char* body, int bodyLength, const char* name);

    // Node notifications (the node manager's loop thread).
    void OnNodeStatus(int status, const char* nodeName);
    void OnNodeError(EErrorType type, int code, const char* msg, const InstanceErrorInfo* infos, size_t count);
    void OnStartControlRes(int code, const char* nodeName);
    enum class NodeAnswer { kAddInstance, kReduceInstance, kSwitchMain };
    void OnNodeAnswerError(NodeAnswer answer, int code, const char* msg, const char* nodeName);
    void OnQueryInstanceStatusRes(int code, const char* msg, const fleet_link::InstanceStateInfo* infos,
                                  size_t count, const char* nodeName);

private:
    using NodeLink = std::shared_ptr<fleet_link::IPicGCWSNodeInterface>;

    // Life cycle.
    int BringUp(const std::shared_ptr<IQVPhoneNotic>& phoneNotic);
    void TearDown();
    bool Accepting() const;  // initialised and started

    // Snapshots taken under the configuration mutex.
    std::shared_ptr<IPicGCNotic> Notic(void** userData) const;
    std::shared_ptr<IHandsetSdk> MainPhone() const;
    std::shared_ptr<plat_client::IPlatClient> PlatClient() const;
    GroupParams Params() const;
    std::string MainNumber() const;

    // Start.
    void ReportStart(int code, const char* msg);
    // Tables, node links, screenshot request and main phone; a failure leaves its code and text.
    void SetUpGroup(int result, int httpCode, const std::shared_ptr<plat_client::PhoneGroupControlConnectRsp>& answer,
                    int& code, std::string& msg);
    void AddNodes(const GroupParams& params);
    void SendScreenshotRequest(const std::vector<std::string>& instanceNos);
    void StartControl(const std::string& nodeNo);
    void CheckStartComplete();

    // Fan-out: every node link, in node-number order.
    std::vector<NodeLink> Links() const;
    template <typename Op>
    void FanOut(Op op) const {
        for (const NodeLink& link : Links()) op(*link);
    }
    void FanOutKey(uint8_t code);  // press and release on every node
    int GroupedInstanceCall(const char* const* instanceNos, uint32_t count, bool add);
    int GroupedInputCall(const InstanceInput* infos, uint32_t count, bool clipboard);
    int ReplaceMainPhone(const std::string& newMain);
    // Followers paused by ReduceInstance and not resumed, for the statistics.
    void NotePaused(const std::vector<std::string>& instanceNos, bool paused);

    const Clock m_clock;

    // Serialises the start's node set-up with the tear-down.
    std::mutex m_startMutex;
    // Serialises SwitchMain calls.
    std::mutex m_switchMutex;

    // Configuration: lower libraries, records, targets, the main number.
    mutable std::mutex m_configMutex;
    std::shared_ptr<plat_client::IPlatClient> m_platClient;
    std::shared_ptr<fleet_link::IFleetLink> m_fleet;
    std::shared_ptr<IHandsetSdk> m_mainPhone;
    GroupParams m_params;
    void* m_userData = nullptr;
    std::shared_ptr<IQVPhoneNotic> m_phoneNotic;
    std::shared_ptr<IPicGCNotic> m_notic;
    std::string m_mainInstanceNo;
    std::shared_ptr<PlatNoticRelay> m_platRelay;
    std::shared_ptr<NodeNoticRelay> m_nodeRelay;

    // The instance and node tables.
    mutable std::mutex m_tableMutex;
    GroupTables m_tables;
    std::set<std::string> m_paused;  // under m_tableMutex

    std::atomic<int32_t> m_state{kGroupIdle};
    std::atomic<bool> m_ready{false};          // the start finished
    std::atomic<bool> m_startReported{false};  // the start's result was notified
    std::atomic<bool> m_startPending{false};   // a start is under way
    std::atomic<bool> m_picturesReady{false};  // a screenshot answer arrived
    std::atomic<int64_t> m_lastFlushMs{0};
    std::atomic<bool> m_pressActive{false};    // a window-coordinate press is in progress
};

}  // namespace mosaic_sdk
