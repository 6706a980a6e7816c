#include "sharing/json/VXJsonValue.h"

#include <gtest/gtest.h>

TEST(VXJsonValue, CopiesShareUntilWritten) {
    VXJsonValue a = VXJsonArray{1, 2};
    VXJsonValue b = a;
    b.asArray()->push_back(3);
    EXPECT_EQ(a.asArray()->size(), 2u);
    EXPECT_EQ(b.asArray()->size(), 3u);
    VXJsonValue o = VXJsonObject{{"k", 1}};
    VXJsonValue p = o;
    p.asObject()->set("k", 2);
    EXPECT_EQ(o["k"], VXJsonValue(1));
    EXPECT_EQ(p["k"], VXJsonValue(2));
}

TEST(VXJsonValue, EqualityByValue) {
    EXPECT_EQ(VXJsonValue(base::Decimal::fromString("1.0")), VXJsonValue(1));
    EXPECT_EQ(VXJsonValue(VXJsonObject{{"a", 1}, {"b", 2}}), VXJsonValue(VXJsonObject{{"b", 2}, {"a", 1}}));
    EXPECT_NE(VXJsonValue(VXJsonArray{1, 2}), VXJsonValue(VXJsonArray{2, 1}));
    EXPECT_NE(VXJsonValue(true), VXJsonValue(1));
    EXPECT_NE(VXJsonValue("1"), VXJsonValue(1));
    EXPECT_NE(VXJsonValue(), VXJsonValue(false));
    EXPECT_TRUE(VXJsonValue(1)["missing"].isNull());
}

TEST(VXJsonValue, ObjectKeepsOrderAndReplacesInPlace) {
    VXJsonObject o;
    for (int i = 0; i < 40; ++i)  // past the size that switches on the index
        o.set("k" + std::to_string(i), i);
    o.set("k3", "three");
    ASSERT_EQ(o.size(), 40u);
    EXPECT_EQ(o.items()[3].first, "k3");
    EXPECT_EQ(*o.find("k3")->asString(), "three");
    EXPECT_TRUE(o.remove("k0"));
    EXPECT_FALSE(o.remove("k0"));
    EXPECT_EQ(o.items()[2].first, "k3");
    EXPECT_EQ(*o.find("k39")->asNumber(), base::Decimal::fromInteger(39));
    EXPECT_FALSE(o.contains("k0"));
}

TEST(VXJsonValue, AssigningAChildToItsParent) {
    VXJsonValue v = VXJsonArray{VXJsonValue(VXJsonArray{1, 2})};
    v = v.asArray()->front();
    EXPECT_EQ(v, VXJsonValue(VXJsonArray{1, 2}));
    VXJsonValue w = VXJsonObject{{"a", VXJsonObject{{"b", 3}}}};
    w = std::move(*w.asObject()->find("a"));
    EXPECT_EQ(w["b"], VXJsonValue(3));
}

TEST(VXJsonValue, DeepObjectsAreFreedWithoutRecursion) {
    VXJsonValue v = 0;
    for (int i = 0; i < 300000; ++i) v = VXJsonObject{{"x", std::move(v)}, {"y", VXJsonArray{i}}};
    VXJsonValue shared = v;
    v = nullptr;  // shared still holds the whole chain
    EXPECT_TRUE(shared.isObject());
    shared = nullptr;
    EXPECT_TRUE(shared.isNull());
}
