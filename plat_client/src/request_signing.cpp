#include "request_signing.h"

#include <openssl/evp.h>
#include <openssl/hmac.h>

#include <chrono>
#include <memory>
#include <vector>

#include "common/qv_log.h"

namespace plat_client {
namespace {

std::string ToHex(const unsigned char* bytes, size_t length) {
    static const char digits[] = "0123456789abcdef";
    std::string hex;
    hex.reserve(length * 2);
    for (size_t i = 0; i < length; ++i) {
        hex.push_back(digits[bytes[i] >> 4]);
        hex.push_back(digits[bytes[i] & 0x0f]);
    }
    return hex;
}

struct MdCtxFree {
    void operator()(EVP_MD_CTX* ctx) const { EVP_MD_CTX_free(ctx); }
};

}  // namespace

int64_t NowMs() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
}

std::string Sha256Hex(const std::string& data) {
    std::unique_ptr<EVP_MD_CTX, MdCtxFree> ctx(EVP_MD_CTX_new());
    if (!ctx) {
        QV_LOG(QV_LOG_ERROR, "[PLAT_CLIENT]Failed to create EVP_MD_CTX");
        return "";
    }
    if (EVP_DigestInit_ex(ctx.get(), EVP_sha256(), nullptr) != 1) {
        QV_LOG(QV_LOG_ERROR, "[PLAT_CLIENT]Failed to initialize EVP_MD_CTX");
        return "";
    }
    if (EVP_DigestUpdate(ctx.get(), data.data(), data.size()) != 1) {
        QV_LOG(QV_LOG_ERROR, "[PLAT_CLIENT]Failed to update EVP_MD_CTX");
        return "";
    }
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    if (EVP_DigestFinal_ex(ctx.get(), digest, &length) != 1) {
        QV_LOG(QV_LOG_ERROR, "[PLAT_CLIENT]Failed to finalize EVP_MD_CTX");
        return "";
    }
    return ToHex(digest, length);
}

std::string HmacSha256Hex(const std::string& key, const std::string& message) {
    unsigned char mac[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    if (HMAC(EVP_sha256(), key.data(), static_cast<int>(key.size()),
             reinterpret_cast<const unsigned char*>(message.data()), message.size(), mac, &length) == nullptr) {
        QV_LOG(QV_LOG_ERROR, "[PLAT_CLIENT]Failed to calculate HMAC");
        return "";
    }
    return ToHex(mac, length);
}

std::string Base64Encode(const std::string& bytes) {
    std::vector<unsigned char> out(4 * ((bytes.size() + 2) / 3) + 1);
    const int length = EVP_EncodeBlock(out.data(), reinterpret_cast<const unsigned char*>(bytes.data()),
                                       static_cast<int>(bytes.size()));
    return std::string(reinterpret_cast<const char*>(out.data()), length > 0 ? static_cast<size_t>(length) : 0);
}

std::string MakeClientTicket(const std::string& userId, const std::string& sdkVersion, int64_t ms) {
    return Base64Encode(userId + ",3," + sdkVersion + "," + std::to_string(ms));
}

std::list<std::string> MakeSignedHeaders(const std::string& accessKey, const std::string& secretKey, int64_t ms,
                                         const std::string& body) {
    const std::string msText = std::to_string(ms);
    const std::string signature = HmacSha256Hex(secretKey, msText + "#" + Sha256Hex(body));
    return {"Content-Type: application/json", "Platform-Access-Key: " + accessKey,
            "Platform-Request-DateTime: " + msText, "Platform-Request-Signature: " + signature};
}

}  // namespace plat_client
