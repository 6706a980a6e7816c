// Every input a fuzz target ever crashed or hung on, and every seed, goes
// through the same entry function again: none may crash, hang or fail a
// check (the entries throw on a broken promise).
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "FuzzEntries.h"

namespace {

namespace fs = std::filesystem;

fs::path fuzzSourceDir() {
    if (const char* root = std::getenv("TOLVEK_TEST_SOURCE_DIR"); root && *root)
        return fs::path(root) / "tests" / "fuzz";
    return fs::path(__FILE__).parent_path();
}

TEST(FuzzRegressions, EveryKeptInputGoesThroughItsParser) {
    int replayed = 0;
    for (const auto& target : fuzz::targets()) {
        for (const char* kind : {"regressions", "seeds"}) {
            const fs::path folder = fuzzSourceDir() / kind / target.name;
            std::error_code ec;
            if (!fs::is_directory(folder, ec)) continue;
            for (const auto& file : fs::directory_iterator(folder)) {
                if (!file.is_regular_file()) continue;
                std::ifstream in(file.path(), std::ios::binary);
                const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
                SCOPED_TRACE(file.path().string());
                EXPECT_NO_THROW(target.entry(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()));
                ++replayed;
            }
        }
    }
    EXPECT_GT(replayed, 0);
}

}  // namespace
