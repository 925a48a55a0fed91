// Host information, brand choice, bridge helpers and edge hit testing.
#include <gtest/gtest.h>

#include <QCryptographicHash>

#include "bridge/bridge_io.h"
#include "host/host_info.h"
#include "context/app_context.h"
#include "context/brand.h"
#include "window/frameless_resizer.h"

namespace {

QString Md5(const QByteArray& bytes) {
    return QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Md5).toHex());
}

TEST(HostInfoTest, FingerprintIsMd5OfProcessorIdAndMac) {
    EXPECT_EQ(app::HostInfo::FingerprintOf("BFEBFBFF000906EA", "52:54:00:12:34:56"),
              Md5("BFEBFBFF000906EA52:54:00:12:34:56"));
    EXPECT_EQ(app::HostInfo::FingerprintOf("BFEBFBFF000906EA", ""), Md5("BFEBFBFF000906EA"));
    EXPECT_EQ(app::HostInfo::Fingerprint(),
              app::HostInfo::FingerprintOf(app::HostInfo::ProcessorId(), app::HostInfo::MacAddress()));
}

TEST(HostInfoTest, SdkParamIsBase64Json) {
    const QByteArray json = R"({"promoteId":"p-1","app_id":77,"big":12.9})";
    const QByteArray wrapped = json.toBase64().insert(8, "\n ");
    EXPECT_EQ(app::HostInfo::SdkParamField(wrapped, "promoteId"), "p-1");
    EXPECT_EQ(app::HostInfo::SdkParamField(wrapped, "app_id"), "77");
    EXPECT_EQ(app::HostInfo::SdkParamField(wrapped, "big"), "12");
    EXPECT_EQ(app::HostInfo::SdkParamField(wrapped, "missing"), "");
    EXPECT_EQ(app::HostInfo::SdkParamField(QByteArray("not json").toBase64(), "app_id"), "");
    EXPECT_EQ(app::HostInfo::SdkParamField(QByteArray("[1]").toBase64(), "app_id"), "");
    EXPECT_EQ(app::HostInfo::SdkParamField("", "app_id"), "");
}

TEST(BrandTest, OneArgumentKeepsCorvoAnythingElseIsTessivo) {
    app::ChooseBrand({"/bin/box", "https://front.corvo.test/?a=1"});
    EXPECT_EQ(app::AppContext::FrontendUrl(), "https://front.corvo.test/?a=1");
    EXPECT_EQ(app::AppContext::ApplicationId(), "com.corvoYun.box");
    EXPECT_EQ(app::AppContext::WindowTitle(), "corvo云手机");
    EXPECT_FALSE(app::IsTessivoBrand());
    EXPECT_EQ(app::BrandIconPath(), ":/image/assets/iconcorvo.png");
    EXPECT_FALSE(app::BrandIcon().isNull());

    qputenv("TESSIVO_FRONTEND_URL", "file:///srv/web/index.html");
    app::ChooseBrand({"/bin/box", "one", "two"});
    EXPECT_EQ(app::AppContext::FrontendUrl(), "file:///srv/web/index.html");
    EXPECT_EQ(app::AppContext::ApplicationId(), "com.tessivoYun.box");
    EXPECT_EQ(app::AppContext::ApplicationName(), "tessivoYunBox");
    EXPECT_EQ(app::AppContext::WindowTitle(), "tessivo云手机");
    EXPECT_EQ(app::BrandIconPath(), ":/image/assets/icon.png");
    EXPECT_FALSE(app::BrandIcon().isNull());
    qunsetenv("TESSIVO_FRONTEND_URL");
    app::ChooseBrand({"/bin/box"});
    EXPECT_TRUE(app::AppContext::FrontendUrl().startsWith("https://"));
}

TEST(BridgeIoTest, OriginsHostsAndFileNames) {
    EXPECT_EQ(app::OriginOf(QUrl("https://Front.Example.test/app?x=1")), "https://front.example.test");
    EXPECT_EQ(app::OriginOf(QUrl("https://front.example.test:443/")), "https://front.example.test");
    EXPECT_EQ(app::OriginOf(QUrl("http://127.0.0.1:8080/web/index.html")), "http://127.0.0.1:8080");
    EXPECT_EQ(app::OriginOf(QUrl("file:///srv/web/index.html")), "file://");
    EXPECT_EQ(app::OriginOf(QUrl("about:blank")), "");
    for (const char* host : {"localhost", "localhost:12125", "127.0.0.1:12125", "127.5.0.1", "[::1]:12125", "::1"})
        EXPECT_TRUE(app::IsLoopbackHost(host)) << host;
    for (const char* host : {"evil.test", "evil.test:12125", "10.0.0.1:12125", "localhost.evil.test", "", "[::2]:1"})
        EXPECT_FALSE(app::IsLoopbackHost(host)) << host;
    EXPECT_TRUE(app::IsSafeFileName("game-1.2"));
    for (const char* bad : {"", "..", "a/b", "a\\b", "..hidden", "x.."}) EXPECT_FALSE(app::IsSafeFileName(bad)) << bad;
}

TEST(FramelessResizerTest, EdgesFollowTheFourPixelBorder) {
    using R = app::FramelessResizer;
    const QSize s(100, 80);
    EXPECT_EQ(R::EdgesAt({1, 1}, s, 4), Qt::TopEdge | Qt::LeftEdge);
    EXPECT_EQ(R::EdgesAt({1, 78}, s, 4), Qt::BottomEdge | Qt::LeftEdge);
    EXPECT_EQ(R::EdgesAt({98, 2}, s, 4), Qt::TopEdge | Qt::RightEdge);
    EXPECT_EQ(R::EdgesAt({98, 78}, s, 4), Qt::BottomEdge | Qt::RightEdge);
    EXPECT_EQ(R::EdgesAt({0, 40}, s, 4), Qt::LeftEdge);
    EXPECT_EQ(R::EdgesAt({97, 40}, s, 4), Qt::RightEdge);
    EXPECT_EQ(R::EdgesAt({50, 3}, s, 4), Qt::TopEdge);
    EXPECT_EQ(R::EdgesAt({50, 77}, s, 4), Qt::BottomEdge);
    EXPECT_EQ(R::EdgesAt({4, 4}, s, 4), Qt::Edges());
    EXPECT_EQ(R::EdgesAt({96, 76}, s, 4), Qt::Edges());

    const QRect start(100, 100, 400, 300);
    EXPECT_EQ(R::Resized(start, Qt::RightEdge | Qt::BottomEdge, {50, 20}, {10, 10}, {1000, 1000}), QRect(100, 100, 450, 320));
    EXPECT_EQ(R::Resized(start, Qt::LeftEdge | Qt::TopEdge, {-30, 40}, {10, 10}, {1000, 1000}), QRect(70, 140, 430, 260));
    EXPECT_EQ(R::Resized(start, Qt::LeftEdge, {390, 0}, {200, 10}, {1000, 1000}), QRect(300, 100, 200, 300));
}

}  // namespace
