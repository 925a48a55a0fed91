// Pictures of the followers: the one screenshot request per start, URL mode
// (the list goes to the application) and data mode (FlushPic downloads).
#include <cstring>

#include "common/qv_log.h"
#include "pic_gc_control.h"

namespace mosaic_sdk {

namespace {

constexpr int32_t kPicModeUrl = 0;
constexpr int32_t kPicModeData = 1;

}  // namespace

void CQVPicGCControl::SendScreenshotRequest(const std::vector<std::string>& instanceNos) {
    const GroupParams params = Params();
    auto client = PlatClient();
    if (!params.gc || !client) return;
    plat_client::ScreenshotReq request;
    request.pictureQuality = params.gc->picQuality;
    request.pictureScale = params.gc->picScale;
    request.pictureRotate = params.gc->picRotate;
    request.intervalTime = params.gc->intervalMs;
    if (client->Screenshot(request, instanceNos, nullptr, nullptr) != 0)
        QV_LOG(QV_LOG_ERROR, "[MOSAIC_SDK]Screenshot failed");
}

void CQVPicGCControl::OnScreenshotAnswer(int result, int httpCode,
                                         const std::shared_ptr<plat_client::ScreenshotRsp>& answer) {
    if (m_state.load() != kGroupReady) return;
    void* userData = nullptr;
    auto notic = Notic(&userData);
    auto report = [&](int code, const char* msg) {
        if (notic) notic->OnErrorNotic(code, msg, userData);
    };
    if (result != 0 || !answer) {
        QV_LOG(QV_LOG_ERROR, "[MOSAIC_SDK]Screenshot failed");
        report(MOSAIC_SCREENSHOT_FAILED, MosaicErrorText(MOSAIC_SCREENSHOT_FAILED));
        return;
    }
    if (httpCode != 200) {
        QV_LOG(QV_LOG_ERROR, "[MOSAIC_SDK]Screenshot get http code [%d]", httpCode);
        report(MOSAIC_SCREENSHOT_NOT_200, MosaicErrorText(MOSAIC_SCREENSHOT_NOT_200));
        return;
    }
    if (answer->code != 0) {
        QV_LOG(QV_LOG_ERROR, "[MOSAIC_SDK]Screenshot get code [%d]", answer->code);
        report(answer->code, answer->msg.c_str());
        return;
    }
    // The answer's pictures as the application's records (same layout, own copy).
    std::vector<PicInfo> pictures(answer->data.size());
    for (size_t i = 0; i < answer->data.size(); ++i) {
        std::memcpy(pictures[i].instanceNo, answer->data[i].instanceNo, sizeof pictures[i].instanceNo);
        std::memcpy(pictures[i].picUrl, answer->data[i].picUrl, sizeof pictures[i].picUrl);
        pictures[i].instanceNo[255] = '\0';
        pictures[i].picUrl[255] = '\0';
    }
    {
        std::lock_guard<std::mutex> lock(m_tableMutex);
        for (const PicInfo& picture : pictures) {
            InstanceStatusInfo* entry = m_tables.Find(picture.instanceNo);
            if (entry != nullptr) std::memcpy(entry->picUrl, picture.picUrl, sizeof entry->picUrl);
        }
    }
    const GroupParams params = Params();
    if (params.gc && params.gc->picMode == kPicModeUrl && notic)
        notic->OnPicUrlNotic(pictures.data(), pictures.size(), userData);
    m_picturesReady.store(true);
}

int CQVPicGCControl::FlushPic() {
    const GroupParams params = Params();
    if (!params.gc || params.gc->picMode != kPicModeData) {
        QV_LOG(QV_LOG_ERROR, "[MOSAIC_SDK]Out pic url model can not get data");
        return -1;
    }
    auto client = PlatClient();
    if (!Accepting() || !m_picturesReady.load() || !client) {
        QV_LOG(QV_LOG_WARN, "[MOSAIC_SDK]FlushPic not ready");
        return -1;
    }
    // The rate limit holds for callers on several threads too: one wins the slot.
    const int64_t now = m_clock();
    int64_t last = m_lastFlushMs.load();
    do {
        if (now - last <= params.gc->intervalMs) {
            QV_LOG(QV_LOG_WARN, "[MOSAIC_SDK]FlushPic too quick");
            return -1;
        }
    } while (!m_lastFlushMs.compare_exchange_weak(last, now));

    const std::string mainNo = MainNumber();
    std::vector<std::pair<std::string, std::string>> downloads;  // instance number, URL
    {
        std::lock_guard<std::mutex> lock(m_tableMutex);
        for (const InstanceStatusInfo& entry : m_tables.instances) {
            const std::string instanceNo = FieldText(entry.instanceNo);
            const std::string url = FieldText(entry.picUrl);
            if (instanceNo == mainNo || url.empty()) continue;
            downloads.emplace_back(instanceNo, url);
        }
    }
    for (const auto& download : downloads) {
        if (client->HttpGet(download.second.c_str(), download.first.c_str(), nullptr) != 0)
            QV_LOG(QV_LOG_ERROR, "[MOSAIC_SDK]GetStaticResource for [%s] failed", download.first.c_str());
    }
    return 0;
}

void CQVPicGCControl::OnPictureAnswer(int result, int httpCode, const char* body, int bodyLength,
                                      const char* name) {
    if (m_state.load() != kGroupReady) return;
    if (result != 0) {
        QV_LOG(QV_LOG_ERROR, "[MOSAIC_SDK]Get pic failed");
        return;
    }
    if (httpCode != 200) {
        QV_LOG(QV_LOG_ERROR, "[MOSAIC_SDK]Get pic get http code [%d]", httpCode);
        return;
    }
    void* userData = nullptr;
    auto notic = Notic(&userData);
    if (notic)
        notic->OnPicData(name ? name : "", body, bodyLength > 0 && body != nullptr ? static_cast<size_t>(bodyLength) : 0,
                         userData);
}

}  // namespace mosaic_sdk
