// The group against the local cloud: nodes, the main phone's stream, the
// followers' records, pictures, node restarts and starting over.
#include "group_cloud_fixture.h"
#include "picture_decoder.h"

namespace mosaic_test {
namespace {

class CloudGroupTest : public GroupCloudTest {};

TEST_F(CloudGroupTest, StartBuildsRangesPerNodeAndPlaysTheMainPhone) {
    Play();
    ASSERT_EQ(0, sdk->QueryInstanceStatus());
    std::string main;
    const auto table = notic->Table(&main);
    EXPECT_EQ(Main(), main);
    ASSERT_EQ(6u, table.size());
    // Node a's phones (1, 3, 5) at 0 to 2, node b's (2, 4) at 3 and 4, the refused one last.
    const std::vector<std::string> order = {numbers[0], numbers[2], numbers[4], numbers[1], numbers[3], numbers[5]};
    for (size_t i = 0; i < 6; ++i) EXPECT_EQ(order[i], table[i].instanceNo) << i;
    for (size_t i = 0; i < 3; ++i) EXPECT_STREQ(kNodeA, table[i].nodeNo);
    for (size_t i = 3; i < 5; ++i) EXPECT_STREQ(kNodeB, table[i].nodeNo);
    EXPECT_STREQ("", table[5].nodeNo);
    EXPECT_EQ(4, table[5].state);
    EXPECT_EQ(kRefusedCode, table[5].errCode);

    cloudsim::NodeView a;
    ASSERT_TRUE(cloud->Node(kNodeA, a));
    ASSERT_EQ(1u, a.connections.size());
    EXPECT_EQ(Main(), a.connections[0].mainInstanceNo);
    std::vector<std::string> onA;
    for (const auto& i : a.connections[0].instances) onA.push_back(i.instanceNo);
    EXPECT_EQ((std::vector<std::string>{numbers[0], numbers[2], numbers[4]}), onA);
    EXPECT_EQ(1u, NodeRequests(kNodeA, "startControl"));
    EXPECT_EQ(1u, NodeRequests(kNodeB, "startControl"));
}

TEST_F(CloudGroupTest, EveryInputReachesEachPhoneOnce) {
    Play();
    const int xs[] = {200}, ys[] = {300};
    const uint8_t a = 0x41;
    ASSERT_EQ(0, sdk->SendTouchRaw(0, xs, ys, 1));
    ASSERT_EQ(0, sdk->SendTouchRaw(1, xs, ys, 1));
    ASSERT_EQ(0, sdk->SendKey(1, &a));
    ASSERT_EQ(0, sdk->SendKey(0, &a));
    ASSERT_EQ(0, sdk->SendInputString("group text"));
    ASSERT_EQ(0, sdk->SendControlKey(1));
    ASSERT_EQ(0, sdk->SendVolume(1));
    const std::vector<std::string> kinds = {"touch", "key", "inputString"};
    for (const auto& phone : Phones()) {
        // Touch down and up; A, BACK and VOLUME UP down and up; the text.
        ASSERT_TRUE(WaitUntil([&] { return InputsOf(phone, kinds).size() >= 9; }, 60000)) << phone;
    }
    for (const auto& phone : Phones()) {
        const auto in = InputsOf(phone, kinds);
        ASSERT_EQ(9u, in.size()) << phone;
        const bool viaNode = phone != Main();
        for (const auto& m : in) EXPECT_EQ(viaNode, m.type == 1015) << phone << " " << m.kind;
        EXPECT_EQ("touch", in[0].kind);
        EXPECT_EQ(0, in[0].fields["action"].asInt());
        // Followers get the point scaled from the main phone's screen to theirs.
        const char* points = viaNode ? "sourcePoints" : "points";
        EXPECT_EQ(200, in[0].fields[points][0][0].asInt()) << phone;
        EXPECT_EQ(30, in[2].fields["key"].asInt());
        EXPECT_EQ(1, TextCount(phone, "group text")) << phone;
        EXPECT_EQ(158, in[6].fields["key"].asInt() & 0xFF) << phone;
        EXPECT_EQ(115, in[8].fields["key"].asInt() & 0xFF) << phone;
    }
    EXPECT_TRUE(InputsOf(Refused(), kinds).empty());
}

TEST_F(CloudGroupTest, ReducedFollowersGetNothingUntilAddedAgain) {
    Play();
    const std::vector<std::string> paused = {numbers[2], numbers[3]};  // one on each node
    const char* list[] = {paused[0].c_str(), paused[1].c_str()};
    ASSERT_EQ(0, sdk->ReduceInstance(list, 2));
    ASSERT_TRUE(WaitUntil([&] {
        return NodeRequests(kNodeA, "reduceInstance") == 1 && NodeRequests(kNodeB, "reduceInstance") == 1;
    }, 60000));
    ASSERT_EQ(0, sdk->SendInputString("while paused"));
    for (const auto& phone : Phones()) {
        if (phone == paused[0] || phone == paused[1]) continue;
        ASSERT_TRUE(WaitUntil([&] { return TextCount(phone, "while paused") == 1; }, 60000)) << phone;
    }
    // The nodes applied that input to their other phones at the same moment.
    for (const auto& phone : paused) EXPECT_EQ(0, TextCount(phone, "while paused")) << phone;

    ASSERT_EQ(0, sdk->AddInstance(list, 2));
    ASSERT_TRUE(WaitUntil([&] {
        return NodeRequests(kNodeA, "addInstance") == 1 && NodeRequests(kNodeB, "addInstance") == 1;
    }, 60000));
    ASSERT_EQ(0, sdk->SendInputString("resumed"));
    for (const auto& phone : Phones())
        ASSERT_TRUE(WaitUntil([&] { return TextCount(phone, "resumed") == 1; }, 60000)) << phone;
}

TEST_F(CloudGroupTest, SwitchMainPlaysTheNewMainAndTellsBothNodes) {
    Play();
    const std::string newMain = numbers[1];  // on node b; the old main is on node a
    ASSERT_EQ(0, sdk->SwitchMain(newMain.c_str()));
    ASSERT_TRUE(WaitUntil([&] { return phoneNotic->plays.load() >= 2; }, 60000)) << "new main not playing";
    ASSERT_TRUE(WaitUntil([&] {
        cloudsim::NodeView a, b;
        return cloud->Node(kNodeA, a) && cloud->Node(kNodeB, b) && a.connections.size() == 1 &&
               b.connections.size() == 1 && a.connections[0].mainInstanceNo == newMain &&
               b.connections[0].mainInstanceNo == newMain;
    }, 60000));
    ASSERT_EQ(0, sdk->SendInputString("new main"));
    for (const auto& phone : Phones())
        ASSERT_TRUE(WaitUntil([&] { return TextCount(phone, "new main") == 1; }, 60000)) << phone;
    // The new main got it over its stream, the old main through its node.
    for (const auto& m : InputsOf(newMain, {"inputString"})) EXPECT_NE(1015u, m.type);
    for (const auto& m : InputsOf(Main(), {"inputString"})) EXPECT_EQ(1015u, m.type);
    for (const auto& phone : Phones()) EXPECT_EQ(1, TextCount(phone, "new main")) << phone;
}

TEST_F(CloudGroupTest, DataModeDeliversEveryFollowersScreenAsJpeg) {
    mosaic_sdk::QvPicGCSysParam gc = Settings();
    gc.picMode = 1;
    Play(gc);
    ASSERT_TRUE(WaitUntil([&] { return sdk->FlushPic() == 0; }, 60000)) << "pictures never ready";
    EXPECT_EQ(-1, sdk->FlushPic());  // inside the interval
    EXPECT_TRUE(Logged("[MOSAIC_SDK]FlushPic too quick"));
    // Every follower's picture, whichever other pictures arrive first.
    ASSERT_TRUE(WaitUntil([&] {
        const auto pictures = notic->Pictures();
        for (const auto& phone : Followers())
            if (pictures.count(phone) == 0) return false;
        return true;
    }, 60000));
    const auto got = notic->Pictures();
    EXPECT_EQ(0u, got.count(Main()));
    for (const auto& phone : Followers()) {
        ASSERT_EQ(1u, got.count(phone)) << phone;
        cloudsim_test::Picture picture;
        ASSERT_TRUE(cloudsim_test::DecodeJpeg(got.at(phone).at(0), picture)) << phone;
        cloudsim::PhoneView view;
        ASSERT_TRUE(cloud->Phone(phone, view));
        EXPECT_EQ(view.width, picture.width) << phone;
        EXPECT_EQ(view.height, picture.height) << phone;
    }
}

TEST_F(CloudGroupTest, ARestartedNodeGetsControlAgainAndPassesInput) {
    Play();
    ASSERT_EQ(0, cloud->RestartNode(kNodeB));
    ASSERT_TRUE(WaitUntil([&] { return NodeRequests(kNodeB, "startControl") == 2; }, 90000));
    ASSERT_TRUE(WaitUntil([&] { return Controlled(kNodeB) == 2; }, 60000));
    EXPECT_EQ(1u, NodeRequests(kNodeA, "startControl"));
    ASSERT_TRUE(WaitUntil([&] {
        sdk->SendInputString("after restart");
        return TextCount(numbers[1], "after restart") >= 1 && TextCount(numbers[3], "after restart") >= 1;
    }, 60000));
}

TEST_F(CloudGroupTest, UninitWhileNodesConnectThenStartAgain) {
    cloudsim::NodeFaultScript silent;
    silent.silent = true;
    cloud->SetNodeFaults(kNodeB, silent);
    ASSERT_EQ(0, InitGroup(Settings()));
    ASSERT_EQ(0, StartGroup());
    ASSERT_TRUE(WaitUntil([&] { return Controlled(kNodeA) == 3; }, 60000));
    EXPECT_EQ(0, notic->CountCode(0));  // node b has not answered
    EXPECT_EQ(0, sdk->Uninit());

    cloud->ClearFaults();
    cloud->ClearRecords();
    notic = std::make_shared<GroupRecorder>();
    phoneNotic = std::make_shared<MainPhoneRecorder>();
    Play();
    ASSERT_EQ(0, sdk->SendInputString("second start"));
    for (const auto& phone : Phones())
        ASSERT_TRUE(WaitUntil([&] { return TextCount(phone, "second start") == 1; }, 60000)) << phone;
}

}  // namespace
}  // namespace mosaic_test
