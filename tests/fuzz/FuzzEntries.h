#pragma once
// The entry functions of the fuzz targets: each feeds one input through a
// parser of outside input the way the program meets it, and answers 0. The
// libFuzzer programs call one each; the regression test replays the kept
// inputs through the same functions.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace fuzz {

using Entry = int (*)(const std::uint8_t* data, std::size_t size);

struct Target {
    std::string name;  // also the folder of its seeds and regression inputs
    Entry entry;
};

// Every target, by name.
const std::vector<Target>& targets();

int plistReader(const std::uint8_t* data, std::size_t size);
int settingsFile(const std::uint8_t* data, std::size_t size);
int htmlPage(const std::uint8_t* data, std::size_t size);
int jsonText(const std::uint8_t* data, std::size_t size);
int facebookAnswer(const std::uint8_t* data, std::size_t size);
int thriftAnswer(const std::uint8_t* data, std::size_t size);
int headlessScript(const std::uint8_t* data, std::size_t size);

}  // namespace fuzz
