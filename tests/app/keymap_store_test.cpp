// Key schemes: stored form, the settings store and where keys tap.
#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSettings>

#include "keymap/key_scheme_json.h"
#include "keymap/key_scheme_store.h"
#include "keymap/key_scheme_taps.h"
#include "keymap/key_usage.h"

namespace {

using app::KeySetData;

KeySetData Scheme(int index, const QString& name) {
    KeySetData s;
    s.index = index;
    s.schemeName = name;
    s.wheel = {100, 200, 160, 50, true, "w", "s", "a", "d"};
    s.keys = {{"j", 300, 400, 50, 50}, {"k", 10, 20, 50, 50}};
    return s;
}

class KeySchemeStoreTest : public ::testing::Test {
protected:
    void SetUp() override { QSettings("keySettings", "key").clear(); }
    void TearDown() override { QSettings("keySettings", "key").clear(); }
};

TEST(KeySchemeJson, RoundTripsAndEmbedsWheelAndKeysAsJsonTexts) {
    const KeySetData in = Scheme(3, "方案4");
    const QByteArray text = app::KeySchemeToJson(in);
    const QJsonObject obj = QJsonDocument::fromJson(text).object();
    EXPECT_TRUE(obj.value("wheelData").isString());
    EXPECT_TRUE(obj.value("keyStoreList").toArray().first().isString());
    EXPECT_TRUE(text.contains('\n'));  // indented

    const KeySetData out = app::KeySchemeFromJson(text);
    EXPECT_EQ(out.index, 3);
    EXPECT_EQ(out.schemeName, "方案4");
    EXPECT_TRUE(out.wheel.shown);
    EXPECT_EQ(out.wheel.height, 50);
    EXPECT_EQ(out.wheel.left, "a");
    ASSERT_EQ(out.keys.size(), 2);
    EXPECT_EQ(out.keys[0].key, "j");
    EXPECT_EQ(out.keys[0].x, 300);
    EXPECT_EQ(out.keys[1].y, 20);
}

TEST(KeySchemeJson, MissingMembersAndGarbageReadAsEmpty) {
    const KeySetData partial = app::KeySchemeFromJson(R"({"schemeName":"x","wheelData":"not json",
        "keyStoreList":["{\"key\":\"q\"}", 5]})");
    EXPECT_EQ(partial.index, 0);
    EXPECT_FALSE(partial.wheel.shown);
    ASSERT_EQ(partial.keys.size(), 2);
    EXPECT_EQ(partial.keys[0].key, "q");
    EXPECT_EQ(partial.keys[0].width, 0);
    EXPECT_EQ(partial.keys[1].key, "");
    for (const char* bad : {"", "[1,2]", "{broken", "\"text\""}) {
        const KeySetData s = app::KeySchemeFromJson(bad);
        EXPECT_TRUE(s.schemeName.isEmpty() && s.keys.isEmpty() && !s.wheel.shown) << bad;
    }
}

TEST_F(KeySchemeStoreTest, SavesReloadsAndRenames) {
    {
        app::KeySchemeStore store;
        store.Write(0, Scheme(0, "a"));
    }
    app::KeySchemeStore store;
    ASSERT_TRUE(store.Contains(0));
    EXPECT_EQ(store.Read(0).keys.size(), 2);
    store.Rename(0, "renamed");
    EXPECT_EQ(app::KeySchemeStore().Read(0).schemeName, "renamed");
    EXPECT_EQ(app::KeySchemeStore().Read(0).keys.size(), 2);
    EXPECT_TRUE(store.Read(7).keys.isEmpty());  // nothing stored there
    QSettings("keySettings", "key").setValue("5", "garbage");
    EXPECT_TRUE(store.Read(5).schemeName.isEmpty());
}

TEST_F(KeySchemeStoreTest, RemovingPositionOneOfThreeRenumbers) {
    app::KeySchemeStore store;
    for (int i = 0; i < 3; ++i) store.Write(i, Scheme(i, QString("s%1").arg(i)));
    store.Remove(1);
    EXPECT_EQ(store.SchemeKeys(), QStringList({"0", "1"}));
    const QList<KeySetData> all = store.All();
    ASSERT_EQ(all.size(), 2);
    EXPECT_EQ(all[0].index, 0);
    EXPECT_EQ(all[0].schemeName, "s0");
    EXPECT_EQ(all[1].index, 1);
    EXPECT_EQ(all[1].schemeName, "s2");
    store.Remove(9);  // out of range: only renumbered
    EXPECT_EQ(store.All().size(), 2);
}

TEST_F(KeySchemeStoreTest, MoreThanTenSchemesKeepTheirNumericOrder) {
    app::KeySchemeStore store;
    for (int i = 0; i < 12; ++i) store.Write(i, Scheme(i, QString("s%1").arg(i)));
    QStringList expected;
    for (int i = 0; i < 12; ++i) expected << QString::number(i);
    EXPECT_EQ(store.SchemeKeys(), expected);
    store.Remove(2);
    const QList<KeySetData> all = store.All();
    ASSERT_EQ(all.size(), 11);
    EXPECT_EQ(all[2].schemeName, "s3");
    EXPECT_EQ(all[10].schemeName, "s11");
    EXPECT_EQ(all[10].index, 10);
}

TEST(KeySchemeTaps, MappedKeysScaleWithTheView) {
    KeySetData s = Scheme(0, "x");
    s.wheel.shown = false;
    EXPECT_EQ(app::KeySchemeTaps(s, "j", QSize(472, 808)), QList<QPoint>({QPoint(300, 400)}));
    // Portrait at half the reference size.
    EXPECT_EQ(app::KeySchemeTaps(s, "j", QSize(236, 404)), QList<QPoint>({QPoint(150, 200)}));
    // Landscape: reference 808 x 472.
    EXPECT_EQ(app::KeySchemeTaps(s, "k", QSize(1616, 944)), QList<QPoint>({QPoint(20, 40)}));
    EXPECT_TRUE(app::KeySchemeTaps(s, "w", QSize(472, 808)).isEmpty());
    EXPECT_TRUE(app::KeySchemeTaps(s, "", QSize(472, 808)).isEmpty());
}

TEST(KeySchemeTaps, WalkingPadTapsItsFourPoints) {
    KeySetData s = Scheme(0, "x");
    const QSize ref(472, 808);
    // Height 50: up and down both 13 pixels above the centre.
    EXPECT_EQ(app::KeySchemeTaps(s, "w", ref), QList<QPoint>({QPoint(100, 187)}));
    EXPECT_EQ(app::KeySchemeTaps(s, "s", ref), QList<QPoint>({QPoint(100, 187)}));
    EXPECT_EQ(app::KeySchemeTaps(s, "a", ref), QList<QPoint>({QPoint(60, 200)}));
    EXPECT_EQ(app::KeySchemeTaps(s, "d", ref), QList<QPoint>({QPoint(140, 200)}));
    s.wheel.height = 150;  // (150 - 50) / 4 = 25
    EXPECT_EQ(app::KeySchemeTaps(s, "w", ref), QList<QPoint>({QPoint(100, 162)}));
    EXPECT_EQ(app::KeySchemeTaps(s, "s", ref), QList<QPoint>({QPoint(100, 212)}));
    // A key on the pad twice taps once; a key both mapped and on the pad taps both.
    s.wheel.down = "w";
    EXPECT_EQ(app::KeySchemeTaps(s, "w", ref).size(), 1);
    s.keys.append({"w", 5, 6, 50, 50});
    EXPECT_EQ(app::KeySchemeTaps(s, "w", ref), QList<QPoint>({QPoint(5, 6), QPoint(100, 162)}));
}

TEST(KeyUsage, KeysAreUniqueAndClearingFreesThem) {
    app::KeyUsage usage;
    int first = 0, second = 0;
    EXPECT_EQ(usage.Assign(&first, "j"), app::KeyUsage::Recorded);
    EXPECT_EQ(usage.Assign(&second, "j"), app::KeyUsage::Duplicate);
    EXPECT_EQ(usage.Assign(&first, ""), app::KeyUsage::Cleared);
    EXPECT_EQ(usage.Assign(&second, "j"), app::KeyUsage::Recorded);
    // Taking a new key gives up the former one.
    EXPECT_EQ(usage.Assign(&second, "k"), app::KeyUsage::Recorded);
    EXPECT_FALSE(usage.InUse("j"));
    EXPECT_EQ(usage.Count(), 1);
}

}  // namespace
