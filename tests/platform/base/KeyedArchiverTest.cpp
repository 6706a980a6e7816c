#include "platform/base/KeyedArchiver.h"

#include "platform/base/Exception.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

using base::Coding;
using base::KeyedArchiver;
using base::KeyedUnarchiver;

namespace {

// A small object graph: nodes own children and point back at their parent.
class Node : public Coding {
public:
    std::string name;
    long long count = 0;
    double weight = 0;
    bool flag = false;
    base::Decimal amount;
    std::vector<std::shared_ptr<Node>> children;
    std::weak_ptr<Node> parent;
    std::shared_ptr<Node> friendNode;

    std::string classForCoder() const override { return "TestNode"; }
    void encodeWithCoder(KeyedArchiver& coder) const override {
        coder.encodeString(name, "TestNode.name");
        coder.encodeInteger(count, "TestNode.count");
        coder.encodeDouble(weight, "TestNode.weight");
        coder.encodeBool(flag, "TestNode.flag");
        coder.encodeDecimal(amount, "TestNode.amount");
        coder.encodeInteger(static_cast<long long>(children.size()), "TestNode.childCount");
        for (std::size_t i = 0; i < children.size(); ++i)
            coder.encodeObject(children[i], "TestNode.child" + std::to_string(i));
        coder.encodeConditionalObject(parent.lock().get(), "TestNode.parent");
        if (friendNode) coder.encodeObject(friendNode, "TestNode.friend");
    }
    std::shared_ptr<Coding> initWithCoder(KeyedUnarchiver& coder) override {
        name = coder.decodeString("TestNode.name");
        count = coder.decodeInteger("TestNode.count");
        weight = coder.decodeDouble("TestNode.weight");
        flag = coder.decodeBool("TestNode.flag");
        amount = coder.decodeDecimal("TestNode.amount");
        long long n = coder.decodeInteger("TestNode.childCount");
        for (long long i = 0; i < n; ++i)
            children.push_back(coder.decodeObjectOfType<Node>("TestNode.child" + std::to_string(i)));
        parent = coder.decodeObjectOfType<Node>("TestNode.parent");
        friendNode = coder.decodeObjectOfType<Node>("TestNode.friend");
        return nullptr;
    }
};

class ArchiverTest : public ::testing::Test {
protected:
    void SetUp() override {
        KeyedUnarchiver::registerClass("TestNode", [] { return std::make_shared<Node>(); });
    }
};

}  // namespace

TEST_F(ArchiverTest, ValuesRoundTripAndMissingKeysReadEmpty) {
    auto node = std::make_shared<Node>();
    node->name = "root";
    node->count = -42;
    node->weight = 2.5;
    node->flag = true;
    node->amount = base::Decimal::fromString("12.345");
    auto back = KeyedUnarchiver::unarchiveObjectOfType<Node>(KeyedArchiver::archivedDataWithRootObject(node));
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(back->name, "root");
    EXPECT_EQ(back->count, -42);
    EXPECT_EQ(back->weight, 2.5);
    EXPECT_TRUE(back->flag);
    EXPECT_EQ(back->amount.toString(), "12.345");
    EXPECT_TRUE(back->children.empty());
    EXPECT_EQ(back->parent.lock(), nullptr);

    // An object written with no fields reads 0, NO, nil and a NaN decimal.
    class Empty : public Coding {
    public:
        std::string classForCoder() const override { return "TestNode"; }
        void encodeWithCoder(KeyedArchiver&) const override {}
        std::shared_ptr<Coding> initWithCoder(KeyedUnarchiver&) override { return nullptr; }
    };
    auto empty = KeyedUnarchiver::unarchiveObjectOfType<Node>(
        KeyedArchiver::archivedDataWithRootObject(std::make_shared<Empty>()));
    ASSERT_NE(empty, nullptr);
    EXPECT_EQ(empty->count, 0);
    EXPECT_FALSE(empty->flag);
    EXPECT_EQ(empty->name, "");
    EXPECT_TRUE(empty->amount.isNaN());
    EXPECT_EQ(empty->friendNode, nullptr);
}

TEST_F(ArchiverTest, SharedReferencesStayShared) {
    auto root = std::make_shared<Node>();
    auto shared = std::make_shared<Node>();
    shared->name = "shared";
    auto a = std::make_shared<Node>(), b = std::make_shared<Node>();
    a->friendNode = shared;
    b->friendNode = shared;
    root->children = {a, b};
    auto back = KeyedUnarchiver::unarchiveObjectOfType<Node>(KeyedArchiver::archivedDataWithRootObject(root));
    ASSERT_NE(back, nullptr);
    ASSERT_EQ(back->children.size(), 2u);
    ASSERT_NE(back->children[0]->friendNode, nullptr);
    EXPECT_EQ(back->children[0]->friendNode, back->children[1]->friendNode);
    EXPECT_EQ(back->children[0]->friendNode->name, "shared");
}

TEST_F(ArchiverTest, ConditionalObjectsOnlyWhenEncodedElsewhere) {
    auto root = std::make_shared<Node>();
    root->name = "parent";
    auto child = std::make_shared<Node>();
    child->parent = root;
    root->children = {child};
    // The parent is in the archive (as the root): the back pointer resolves.
    auto back = KeyedUnarchiver::unarchiveObjectOfType<Node>(KeyedArchiver::archivedDataWithRootObject(root));
    ASSERT_NE(back, nullptr);
    ASSERT_EQ(back->children.size(), 1u);
    EXPECT_EQ(back->children[0]->parent.lock(), back);

    // Archiving the child alone leaves the parent out.
    KeyedArchiver archiver;
    base::Value archive = archiver.archiveRootObject(child);
    EXPECT_EQ(archive["$objects"].asArray()->size(), 2u);  // "$null" and the child
    auto lone = KeyedUnarchiver::unarchiveObjectOfType<Node>(archive.toBinaryPlist());
    ASSERT_NE(lone, nullptr);
    EXPECT_EQ(lone->parent.lock(), nullptr);
}

TEST_F(ArchiverTest, BadArchivesGiveNothing) {
    EXPECT_EQ(KeyedUnarchiver::unarchiveObjectWithData({}), nullptr);
    EXPECT_EQ(KeyedUnarchiver::unarchiveObjectWithData({'b', 'p', 'l', 'i', 's', 't'}), nullptr);
    base::Value notOurs(base::Dictionary{{"$archiver", base::Value("other")}});
    EXPECT_EQ(KeyedUnarchiver::unarchiveObjectWithData(notOurs.toBinaryPlist()), nullptr);
    // An unknown class decodes as nullptr.
    KeyedArchiver archiver;
    class Unknown : public Coding {
    public:
        std::string classForCoder() const override { return "NoSuchClass"; }
        void encodeWithCoder(KeyedArchiver&) const override {}
        std::shared_ptr<Coding> initWithCoder(KeyedUnarchiver&) override { return nullptr; }
    };
    EXPECT_EQ(KeyedUnarchiver::unarchiveObjectWithData(
                  KeyedArchiver::archivedDataWithRootObject(std::make_shared<Unknown>())),
              nullptr);
    // Encoding a value outside any object is refused.
    EXPECT_THROW(archiver.encodeInteger(1, "x"), base::Exception);
}

TEST_F(ArchiverTest, ArchiveIsABinaryPropertyList) {
    auto data = KeyedArchiver::archivedDataWithRootObject(std::make_shared<Node>());
    ASSERT_GE(data.size(), 8u);
    EXPECT_EQ(std::string(data.begin(), data.begin() + 8), "bplist00");
}
