#include "platform/base/ClassRegistry.h"

#include <gtest/gtest.h>

namespace {

struct Sharer {
    virtual ~Sharer() = default;
    virtual std::string sharerId() const = 0;
};
struct Mail : Sharer {
    std::string sharerId() const override { return "Mail"; }
};
struct Named : Sharer {
    explicit Named(std::string n) : n_(std::move(n)) {}
    std::string sharerId() const override { return n_; }
    std::string n_;
};

TEST(ClassRegistry, CreatesRegisteredClassesByNameAndNothingElse) {
    base::ClassRegistry<Sharer> registry;
    EXPECT_EQ(registry.create("Mail"), nullptr);
    registry.registerClass<Mail>("Mail");
    registry.registerClass("Twitter", [] { return std::make_shared<Named>("Twitter"); });
    auto a = registry.create("Mail");
    auto b = registry.create("Mail");
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->sharerId(), "Mail");
    EXPECT_NE(a, b);  // a new object each time
    EXPECT_EQ(registry.create("Twitter")->sharerId(), "Twitter");
    EXPECT_EQ(registry.create("mail"), nullptr);  // names are exact
    EXPECT_EQ(registry.create(""), nullptr);
    EXPECT_EQ(registry.names(), (std::vector<std::string>{"Mail", "Twitter"}));
    EXPECT_TRUE(registry.unregisterClass("Mail"));
    EXPECT_FALSE(registry.contains("Mail"));
    EXPECT_EQ(registry.create("Mail"), nullptr);
}

TEST(ClassRegistry, SharedRegistryIsOnePerBaseClassAndFactoryMayUseIt) {
    struct Other {
        virtual ~Other() = default;
    };
    auto& shared = base::ClassRegistry<Sharer>::shared();
    EXPECT_EQ(&shared, &base::ClassRegistry<Sharer>::shared());
    shared.registerClass("Wrapper", [] {
        // A factory that looks up another class does not deadlock.
        auto inner = base::ClassRegistry<Sharer>::shared().create("Inner");
        return std::make_shared<Named>("Wrapper of " + (inner ? inner->sharerId() : std::string("none")));
    });
    shared.registerClass<Mail>("Inner");
    EXPECT_EQ(shared.create("Wrapper")->sharerId(), "Wrapper of Mail");
    EXPECT_TRUE(base::ClassRegistry<Other>::shared().names().empty());
    shared.unregisterClass("Wrapper");
    shared.unregisterClass("Inner");
}

}  // namespace
