// The signature, digests and client ticket against known values, and the
// peer's verifier against requests that are wrong in one way each.
#include <gtest/gtest.h>

#include <string>

#include <json/value.h>

#include "platform_peer/request_verifier.h"
#include "request_signing.h"

namespace {

TEST(RequestSigning, KnownDigestsAndTicket) {
    // The empty body is signed with the SHA-256 of the empty string.
    EXPECT_EQ("e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855", plat_client::Sha256Hex(""));
    EXPECT_EQ("5bdcc146bf60754e6a042426089575c75a003f089d2739839dec58b964ec3843",
              plat_client::HmacSha256Hex("Jefe", "what do ya want for nothing?"));
    EXPECT_EQ("dXNlci00MiwzLDEuMS4wLDE3MDAwMDAwMDAwMDA=",
              plat_client::MakeClientTicket("user-42", "1.1.0", 1700000000000LL));
}

TEST(RequestSigning, HeadersComeInOrderAndSignTimeAndBodyDigest) {
    const std::string body = "{\"sessionId\":\"s\"}";
    const auto headers = plat_client::MakeSignedHeaders("ak", "sk", 1700000000000LL, body);
    ASSERT_EQ(4u, headers.size());
    auto it = headers.begin();
    EXPECT_EQ("Content-Type: application/json", *it++);
    EXPECT_EQ("Platform-Access-Key: ak", *it++);
    EXPECT_EQ("Platform-Request-DateTime: 1700000000000", *it++);
    const std::string expected =
        platform_peer::HmacSha256Hex("sk", "1700000000000#" + platform_peer::Sha256Hex(body));
    EXPECT_EQ("Platform-Request-Signature: " + expected, *it);
}

class VerifierTest : public ::testing::Test {
protected:
    const platform_peer::KeyTable keys{{"ak", "sk"}};
    platform_peer::VerifyOptions options;
    const int64_t ms = 1700000000000LL;

    VerifierTest() { options.nowMs = ms + 1000; }

    peers::HttpRequest Signed(const std::string& path, const std::string& body, const std::string& key = "sk") {
        peers::HttpRequest request;
        request.method = "POST";
        request.target = path;
        request.headers = {{"Host", "127.0.0.1"}, {"Accept", "*/*"}};
        for (const auto& line : plat_client::MakeSignedHeaders("ak", key, ms, body)) {
            const size_t colon = line.find(": ");
            request.headers.emplace_back(line.substr(0, colon), line.substr(colon + 2));
        }
        request.body = body;
        return request;
    }

    static std::string PhoneBody(const std::string& ticket) {
        Json::Value body;
        body["clientTicket"] = ticket;
        body["instanceNo"] = "i";
        body["userId"] = "user-42";
        return body.toStyledString();
    }
    static std::string RefreshBody(const Json::Value& sessionId) {
        Json::Value body;
        body["sessionId"] = sessionId;
        return body.toStyledString();
    }
};

TEST_F(VerifierTest, AcceptsAWellFormedCallAndDecodesTheTicket) {
    platform_peer::VerifiedRequest out;
    const auto request =
        Signed(platform_peer::kPhoneConnectPath, PhoneBody(plat_client::MakeClientTicket("user-42", "1.1.0", ms)));
    EXPECT_EQ("", platform_peer::VerifyPlatformRequest(request, keys, options, &out));
    EXPECT_EQ("user-42", out.ticketUserId);
    EXPECT_EQ("1.1.0", out.ticketSdkVersion);
    EXPECT_EQ(ms, out.ticketMs);
}

TEST_F(VerifierTest, RejectsEachKindOfFault) {
    const std::string ticket = plat_client::MakeClientTicket("user-42", "1.1.0", ms);
    auto expectError = [&](peers::HttpRequest request, const std::string& fragment) {
        const std::string error = platform_peer::VerifyPlatformRequest(request, keys, options);
        EXPECT_NE(std::string::npos, error.find(fragment)) << "error: " << error << " / wanted: " << fragment;
    };
    auto swapped = Signed(platform_peer::kPhoneConnectPath, PhoneBody(ticket));
    std::swap(swapped.headers[3], swapped.headers[4]);
    expectError(swapped, "out of order");
    expectError(Signed(platform_peer::kPhoneConnectPath, PhoneBody(ticket), "other"), "signature mismatch");
    expectError(Signed(platform_peer::kPhoneConnectPath,
                       PhoneBody(plat_client::MakeClientTicket("user-42", "1.1.0", ms - 1))),
                "differs from the date header");
    expectError(Signed(platform_peer::kPhoneConnectPath,
                       PhoneBody(plat_client::MakeClientTicket("someone", "1.1.0", ms))),
                "differs from userId");
    expectError(Signed(platform_peer::kPhoneConnectPath, PhoneBody("not*base64")), "not Base64");
    expectError(Signed(platform_peer::kPhoneConnectPath, "{\"userId\":\"user-42\"}"), "styled");
    expectError(Signed(platform_peer::kRefreshSessionPath, RefreshBody(5)), "not a string");
    expectError(Signed("/sdk/other", "{}\n"), "unknown path");

    platform_peer::VerifyOptions late = options;
    late.nowMs = ms + 10 * 60 * 1000;
    EXPECT_NE(std::string::npos,
              platform_peer::VerifyPlatformRequest(Signed(platform_peer::kRefreshSessionPath, RefreshBody("s")),
                                                   keys, late)
                  .find("off the clock"));

    peers::HttpRequest token;
    token.method = "POST";
    token.target = platform_peer::kSecurityTokenPath;
    token.headers = {{"Content-Type", "application/json"}};
    EXPECT_EQ("", platform_peer::VerifyPlatformRequest(token, keys, options));
    token.body = "{}";
    expectError(token, "not empty");
}

}  // namespace
