#pragma once
// Digests, signature, client ticket and header list of a signed platform call.
#include <cstdint>
#include <list>
#include <string>

namespace plat_client {

int64_t NowMs();

// Lower-case hex SHA-256; "" (after logging) when the digest fails.
std::string Sha256Hex(const std::string& data);
// Lower-case hex HMAC-SHA256; "" (after logging) when it fails.
std::string HmacSha256Hex(const std::string& key, const std::string& message);
// Standard Base64 without line breaks.
std::string Base64Encode(const std::string& bytes);

// Base64 of "userId,3,sdkVersion,ms".
std::string MakeClientTicket(const std::string& userId, const std::string& sdkVersion, int64_t ms);

// The four headers in their order; the signature is HMAC(secret, ms + "#" + sha256hex(body)).
std::list<std::string> MakeSignedHeaders(const std::string& accessKey, const std::string& secretKey, int64_t ms,
                                         const std::string& body);

}  // namespace plat_client
