#include "package_codec.h"

#include <arpa/inet.h>

#include <climits>
#include <cstring>
#include <string>

#include "common/qv_log.h"
#include "json_text.h"

namespace fleet_link {

namespace {

constexpr int kBinaryFrame = 2;

void AppendWord(std::vector<char>& out, uint32_t hostValue) {
    uint32_t wire = htonl(hostValue);
    const char* bytes = reinterpret_cast<const char*>(&wire);
    out.insert(out.end(), bytes, bytes + sizeof wire);
}

uint32_t ReadWord(const char* data) {
    uint32_t wire = 0;
    std::memcpy(&wire, data, sizeof wire);
    return ntohl(wire);
}

}  // namespace

std::shared_ptr<std::vector<char>> PackPackage(uint32_t type, const Json::Value& body) {
    std::string text = WriteCompactJson(body);
    auto package = std::make_shared<std::vector<char>>();
    package->reserve(kPackageHeaderSize + text.size());
    AppendWord(*package, type);
    AppendWord(*package, static_cast<uint32_t>(text.size()));
    package->insert(package->end(), text.begin(), text.end());
    return package;
}

bool UnpackPackage(const char* data, size_t length, int frameKind, UnpackedPackage& out) {
    if (frameKind != kBinaryFrame) {
        int shown = length > static_cast<size_t>(INT_MAX) ? INT_MAX : static_cast<int>(length);
        QV_LOG(40, "[FLEET_LINK]OnWSRecv Text :%.*s", data ? shown : 0, data ? data : "");
        return false;
    }
    if (!data || length < kPackageHeaderSize) {
        return false;
    }
    uint32_t type = ReadWord(data);
    uint32_t bodyLength = ReadWord(data + 4);
    size_t actual = length - kPackageHeaderSize;
    if (bodyLength != actual) {
        QV_LOG(60, "[FLEET_LINK]Get incomplete package header len[%u] package len[%zu]", bodyLength, actual);
        return false;
    }
    out.type = type;
    out.body = data + kPackageHeaderSize;
    out.bodyLength = actual;
    return true;
}

}  // namespace fleet_link
