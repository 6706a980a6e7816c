// Writes the two alert sounds of the rest countdown as 16-bit mono PCM WAV
// files: "BEEP_FM-1.wav", a clean sine beep, and "BEEPROBO.WAV", a lower
// two-tone beep. Usage: make_sounds OUTPUT_DIR
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr int kRate = 22050;
constexpr double kPi = 3.14159265358979323846;

struct Tone {
    double frequency;
    double seconds;
};

// A tone sequence with short raised-cosine ramps so that no tone clicks.
std::vector<int16_t> synthesize(const std::vector<Tone>& tones, double amplitude) {
    std::vector<int16_t> samples;
    const double ramp = 0.008;
    for (const Tone& t : tones) {
        const int n = static_cast<int>(t.seconds * kRate);
        const int rampN = static_cast<int>(ramp * kRate);
        for (int i = 0; i < n; ++i) {
            double env = 1.0;
            if (i < rampN) env = 0.5 - 0.5 * std::cos(kPi * i / rampN);
            else if (i >= n - rampN) env = 0.5 - 0.5 * std::cos(kPi * (n - 1 - i) / rampN);
            const double phase = 2 * kPi * t.frequency * i / kRate;
            // A touch of the second harmonic keeps the beep audible on small speakers.
            const double v = std::sin(phase) * 0.85 + std::sin(2 * phase) * 0.15;
            samples.push_back(static_cast<int16_t>(std::lround(v * env * amplitude * 32767)));
        }
    }
    return samples;
}

void put32(std::FILE* f, uint32_t v) {
    const unsigned char b[4] = {static_cast<unsigned char>(v), static_cast<unsigned char>(v >> 8),
                                static_cast<unsigned char>(v >> 16), static_cast<unsigned char>(v >> 24)};
    std::fwrite(b, 1, 4, f);
}
void put16(std::FILE* f, uint16_t v) {
    const unsigned char b[2] = {static_cast<unsigned char>(v), static_cast<unsigned char>(v >> 8)};
    std::fwrite(b, 1, 2, f);
}

bool writeWav(const std::string& path, const std::vector<int16_t>& samples) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    const uint32_t dataBytes = static_cast<uint32_t>(samples.size() * 2);
    std::fwrite("RIFF", 1, 4, f);
    put32(f, 36 + dataBytes);
    std::fwrite("WAVEfmt ", 1, 8, f);
    put32(f, 16);
    put16(f, 1);  // PCM
    put16(f, 1);  // mono
    put32(f, kRate);
    put32(f, kRate * 2);
    put16(f, 2);
    put16(f, 16);
    std::fwrite("data", 1, 4, f);
    put32(f, dataBytes);
    for (int16_t s : samples) put16(f, static_cast<uint16_t>(s));
    return std::fclose(f) == 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_sounds OUTPUT_DIR\n");
        return 2;
    }
    const std::string dir = argv[1];
    const bool ok = writeWav(dir + "/BEEP_FM-1.wav", synthesize({{1046.5, 0.22}}, 0.7)) &&
                    writeWav(dir + "/BEEPROBO.WAV", synthesize({{523.25, 0.14}, {392.0, 0.2}}, 0.7));
    if (!ok) {
        std::perror("make_sounds");
        return 1;
    }
    return 0;
}
