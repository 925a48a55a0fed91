// Reading client packages: bodies are verified before use and laid out by name.
#include <gtest/gtest.h>

#include "relay_port/wire_format.h"
#include "stream_client.h"
#include "stream_input.h"

namespace cloudsim {
namespace {

namespace wire = relay_port::wire;

ClientMessage Decode(const std::string& package, std::string* error = nullptr) {
    ClientMessage message;
    const std::string body = package.substr(wire::kHeaderSize);
    const uint32_t type = wire::GetBE32(reinterpret_cast<const uint8_t*>(package.data()));
    const std::string result =
        DecodeClientMessage(type, reinterpret_cast<const uint8_t*>(body.data()), body.size(), message);
    if (error) *error = result;
    return message;
}

TEST(StreamInput, KeyFlagDefaultsToDown) {
    EXPECT_TRUE(Decode(cloudsim_test::build::Key(30, true)).fields["down"].asBool());
    const ClientMessage up = Decode(cloudsim_test::build::Key(30, false));
    EXPECT_EQ(up.kind, "key");
    EXPECT_EQ(up.fields["key"].asInt(), 30);
    EXPECT_FALSE(up.fields["down"].asBool());
}

TEST(StreamInput, BodiesThatFailVerificationAreRefused) {
    std::string error;
    const uint8_t garbage[12] = {0xF0, 0xFF, 0xFF, 0x7F, 1, 2, 3, 4, 5, 6, 7, 8};
    ClientMessage message;
    for (uint32_t type : {wire::kKey, wire::kTouch, wire::kAuthReq, wire::kInputString, wire::kSetRotationReq}) {
        EXPECT_NE(DecodeClientMessage(type, garbage, sizeof(garbage), message), "") << type;
        EXPECT_NE(DecodeClientMessage(type, garbage, 0, message), "") << type;
    }
    EXPECT_NE(DecodeClientMessage(4321, garbage, sizeof(garbage), message), "");
    EXPECT_EQ(message.kind, "unknown");
    const uint8_t one = '1';
    EXPECT_EQ(DecodeClientMessage(wire::kDummy, &one, 1, message), "");
    EXPECT_NE(DecodeClientMessage(wire::kDummy, garbage, 2, message), "");
    EXPECT_EQ(DecodeClientMessage(wire::kMicData, garbage, sizeof(garbage), message), "");
    EXPECT_EQ(message.fields["length"].asUInt(), 12u);
}

TEST(StreamInput, TouchPointsAndLongTextsAreKeptReadably) {
    const ClientMessage touch = Decode(cloudsim_test::build::Touch(1, {{0xFFFFFFFFu, 0xFFFFFFFFu}, {5, 6}}));
    ASSERT_EQ(touch.fields["points"].size(), 2u);
    EXPECT_EQ(touch.fields["points"][0][0].asInt(), -1);
    EXPECT_EQ(touch.fields["points"][1][1].asInt(), 6);
    EXPECT_EQ(Decode(cloudsim_test::build::Touch(1, {})).fields["points"].size(), 0u);

    const std::string text(kMaxRecordedText + 10, 'x');
    const ClientMessage input = Decode(cloudsim_test::build::InputString(text));
    EXPECT_EQ(input.fields["length"].asUInt64(), text.size());
    EXPECT_EQ(input.fields["text"].asString().size(), kMaxRecordedText);
}

}  // namespace
}  // namespace cloudsim
