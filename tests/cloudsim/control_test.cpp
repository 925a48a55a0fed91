// The local cloud's own endpoints: static files, and the control endpoints
// through which tests in other processes script faults and read records.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sys/stat.h>

#include "cloudsim/cloud_sim.h"
#include "signed_call.h"

namespace cloudsim_test {
namespace {

std::string MakeWebRoot() {
    char folder[] = "/tmp/cloudsim-web-XXXXXX";
    if (mkdtemp(folder) == nullptr) return "";
    const std::string root = folder;
    mkdir((root + "/js").c_str(), 0700);
    std::ofstream(root + "/index.html") << "<html>front end</html>";
    std::ofstream(root + "/js/app.js") << "var x = 1;";
    std::ofstream(root + "/../cloudsim-secret.txt") << "outside";
    return root;
}

TEST(ControlRoutes, ServesTheWebFolderAndNothingOutsideIt) {
    cloudsim::CloudOptions options;
    options.logLevel = 40;
    options.webRoot = MakeWebRoot();
    ASSERT_FALSE(options.webRoot.empty());
    cloudsim::CloudSim cloud(options);
    ASSERT_EQ(cloud.Start(), 0);

    peers::HttpClientReply reply = peers::HttpFetch("GET", cloud.HttpUrl() + "/");
    EXPECT_EQ(reply.status, 200);
    EXPECT_EQ(reply.body, "<html>front end</html>");
    reply = peers::HttpFetch("GET", cloud.HttpsUrl() + "/js/app.js");
    EXPECT_EQ(reply.status, 200);
    bool typed = false;
    for (const auto& header : reply.headers) typed = typed || header.second.find("javascript") != std::string::npos;
    EXPECT_TRUE(typed);
    for (const char* path : {"/../cloudsim-secret.txt", "/js/../../cloudsim-secret.txt", "/missing.html", "/js"}) {
        EXPECT_EQ(peers::HttpFetch("GET", cloud.HttpUrl() + path).status, 404) << path;
    }
    EXPECT_EQ(peers::HttpFetch("POST", cloud.HttpUrl() + "/index.html", "x").status, 405);
}

TEST(ControlRoutes, DeviceListNamesEveryPhoneWithWhatItsWindowNeeds) {
    cloudsim::CloudOptions options;
    options.logLevel = 40;
    options.webRoot = MakeWebRoot();
    cloudsim::CloudSim cloud(options);
    ASSERT_EQ(cloud.Start(), 0);

    const Json::Value list = ParseJson(peers::HttpFetch("GET", cloud.HttpUrl() + "/devices.json").body);
    ASSERT_EQ(list.size(), cloud.Config().instances.size());
    Json::Value lumet = list[0];
    EXPECT_EQ(lumet["deviceId"].asString(), "CP-DEMO-0001");
    EXPECT_EQ(lumet["channel"].asString(), "Lumet");
    EXPECT_EQ(lumet["userId"].asString(), "demo-user");
    EXPECT_EQ(lumet["channelAppId"].asString(), "demo-access-key");
    EXPECT_EQ(lumet["channelSecret"].asString(), "demo-secret-key");
    EXPECT_EQ(list[3]["channelAppId"].asString(), "guest-access-key");

    // The vendor-player phone names a session of its own and its stream server.
    const Json::Value kovra = list[2];
    EXPECT_EQ(kovra["channel"].asString(), "Kovra");
    cloudsim::SessionInfo session;
    ASSERT_TRUE(cloud.LatestSession("CP-DEMO-0003", session));
    EXPECT_EQ(kovra["channelAppId"].asString(), session.sessionId);
    EXPECT_EQ(kovra["channelSecret"].asString(), "127.0.0.1:" + std::to_string(session.wsPort));
    // Fetching the list again keeps that session, so a playing window goes on.
    const Json::Value again = ParseJson(peers::HttpFetch("GET", cloud.HttpsUrl() + "/devices.json").body);
    EXPECT_EQ(again[2]["channelAppId"].asString(), session.sessionId);
    EXPECT_EQ(cloud.Sessions().size(), 1u);

    // A phone connect of the instance replaces it; the next list names the new one.
    ASSERT_EQ(PhoneConnect(cloud.HttpsUrl(), DemoUser(), "CP-DEMO-0003")["code"].asInt(), 0);
    ASSERT_TRUE(cloud.LatestSession("CP-DEMO-0003", session));
    const Json::Value third = ParseJson(peers::HttpFetch("GET", cloud.HttpUrl() + "/devices.json").body);
    EXPECT_EQ(third[2]["channelAppId"].asString(), session.sessionId);

    // Without a page there is no list either.
    cloudsim::CloudOptions bare;
    bare.logLevel = 40;
    cloudsim::CloudSim plain(bare);
    ASSERT_EQ(plain.Start(), 0);
    EXPECT_EQ(peers::HttpFetch("GET", plain.HttpUrl() + "/devices.json").status, 404);
}

TEST(ControlRoutes, FaultsScriptedOverHttpApplyAndRecordsReadBack) {
    cloudsim::CloudOptions options;
    options.logLevel = 40;
    cloudsim::CloudSim cloud(options);
    ASSERT_EQ(cloud.Start(), 0);
    const Credentials user = DemoUser();

    Json::Value script(Json::objectValue);
    script["instanceNo"] = "CP-DEMO-0003";
    script["refuseCode"] = 12345;
    script["refuseMsg"] = "no phone today";
    script["apiCalls"] = 1;
    peers::HttpClientReply reply = peers::HttpFetch("POST", cloud.HttpUrl() + "/cloudsim/faults", Styled(script));
    ASSERT_EQ(reply.status, 200) << reply.body;
    script["bogus"] = 1;
    EXPECT_EQ(peers::HttpFetch("POST", cloud.HttpUrl() + "/cloudsim/faults", Styled(script)).status, 400);

    Json::Value answer = PhoneConnect(cloud.HttpsUrl(), user, "CP-DEMO-0003");
    EXPECT_EQ(answer["code"].asInt(), 12345);
    EXPECT_EQ(answer["msg"].asString(), "no phone today");
    EXPECT_EQ(PhoneConnect(cloud.HttpsUrl(), user, "CP-DEMO-0003")["code"].asInt(), 0);  // used up

    const Json::Value sessions = ParseJson(peers::HttpFetch("GET", cloud.HttpUrl() + "/cloudsim/sessions").body);
    ASSERT_EQ(sessions["sessions"].size(), 1u);
    EXPECT_EQ(sessions["sessions"][0]["instanceNo"].asString(), "CP-DEMO-0003");
    const Json::Value calls = ParseJson(peers::HttpFetch("GET", cloud.HttpUrl() + "/cloudsim/api-calls?since=1").body);
    ASSERT_EQ(calls["calls"].size(), 1u);
    EXPECT_EQ(calls["calls"][0]["code"].asInt(), 0);
    const Json::Value phone =
        ParseJson(peers::HttpFetch("GET", cloud.HttpUrl() + "/cloudsim/phone?instanceNo=CP-DEMO-0003").body);
    EXPECT_EQ(phone["width"].asInt(), 720);
    EXPECT_EQ(peers::HttpFetch("GET", cloud.HttpUrl() + "/cloudsim/record").status, 400);
    EXPECT_EQ(peers::HttpFetch("POST", cloud.HttpUrl() + "/cloudsim/clear-records", "").status, 200);
    EXPECT_TRUE(cloud.ApiCalls().empty());
}

}  // namespace
}  // namespace cloudsim_test
