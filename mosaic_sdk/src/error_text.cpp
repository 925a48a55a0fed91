// The fixed texts of the codes reported through OnErrorNotic, and the empty
// default bodies of the application's notification interface.
#include "mosaic_sdk/mosaic_sdk.h"

namespace mosaic_sdk {

const char* MosaicErrorText(int code) {
    switch (code) {
        case MOSAIC_SUCCESS:
            return "success";
        case MOSAIC_GC_CONNECT_FAILED:
            return "Http Req for phone-group-control-connect failed";
        case MOSAIC_GC_CONNECT_NOT_200:
            return "Http Req for phone-group-control-connect can not get 200";
        case MOSAIC_SCREENSHOT_FAILED:
            return "Http Req for screenshot failed";
        case MOSAIC_SCREENSHOT_NOT_200:
            return "Http Req for screenshot can not get 200";
        case MOSAIC_GC_NO_NODE:
            return "Http Req for phone-group-control-connect can not get node service";
        case MOSAIC_GC_ADD_NODES_FAILED:
            return "Http Req for phone-group-control-connect add all node service failed";
        default:
            return "";
    }
}

void IPicGCNotic::OnErrorNotic(int, const char*, void*) {}
void IPicGCNotic::OnGCErrorNotic(EErrorType, int, const char*, const InstanceErrorInfo*, size_t, void*) {}
void IPicGCNotic::OnQueryInstanceStatus(const char*, const InstanceStatusInfo*, size_t, void*) {}
void IPicGCNotic::OnPicUrlNotic(PicInfo*, size_t, void*) {}
void IPicGCNotic::OnPicData(const char*, const char*, size_t, void*) {}
IPicGCNotic::~IPicGCNotic() = default;
void IPicGCNotic::OnQueryNodeStatus(const NodeStatusInfo*, size_t, void*) {}

}  // namespace mosaic_sdk
