#include "sharing/services/BuiltInSharers.h"

#include <gtest/gtest.h>

#include "sharing/SharingTestSupport.h"

namespace {

using BuiltInSharersTest = sharingtest::SharingTest;

// Start-up registers, under its own class name, every sharer that
// "SHRSharers.plist" lists, device actions and services alike.
TEST_F(BuiltInSharersTest, StartUpRegistersEverySharerTheListNames) {
    for (const auto& name : SHRSharer::registry().names()) SHRSharer::registry().unregisterClass(name);
    registerBuiltInSharers();
    for (const char* key : {"actions", "services"}) {
        const auto names = SHR::sharersListed(key);
        EXPECT_FALSE(names.empty()) << key;
        for (const auto& name : names) {
            auto sharer = SHRSharer::create(name);
            ASSERT_TRUE(sharer) << name;
            EXPECT_EQ(sharer->sharerId(), name);
        }
    }
}

}  // namespace
