#include <fstream>

#include "DeviceTestSupport.h"
#include "platform/base/Bundle.h"
#include "platform/ui/SystemSound.h"

using namespace ui;

namespace {

class ShakeRecorder : public AccelerometerDelegate {
public:
    void didAccelerate(Accelerometer&, const Acceleration& a) override { values.push_back(a); }
    std::vector<Acceleration> values;
};

class RecordingPlayer : public SoundPlayer {
public:
    bool play(const std::string& path) override {
        paths.push_back(path);
        return true;
    }
    std::vector<std::string> paths;
};

class DeviceSoundTest : public devicetest::DeviceTest {
protected:
    void SetUp() override {
        DeviceTest::SetUp();
        SystemSound::setRecordsPlaysForTesting(true);
    }
    void TearDown() override {
        SystemSound::setPlayer(nullptr);
        SystemSound::setRecordsPlaysForTesting(false);
        DeviceTest::TearDown();
    }
};

TEST_F(DeviceSoundTest, AShakeBurstReachesTheDelegateAboveTheWorkoutThreshold) {
    auto recorder = std::make_shared<ShakeRecorder>();
    auto& acc = Accelerometer::sharedAccelerometer();
    acc.setUpdateInterval(0.1);
    acc.setDelegate(recorder);
    advance(0.35);
    // At rest there is nothing to report.
    EXPECT_TRUE(recorder->values.empty());
    app().shake();
    ASSERT_GE(recorder->values.size(), 3u);
    bool strong = false;
    for (const auto& a : recorder->values) strong = strong || a.x > 1.2 || a.y > 1.2 || a.z > 1.2;
    EXPECT_TRUE(strong);
    // Afterwards it is at rest again.
    EXPECT_NEAR(recorder->values.back().y, -1, 1e-9);
    acc.setDelegate({});
}

TEST_F(DeviceSoundTest, TheBundleSoundsPlayAndEachPlayIsRecordedWithTheClocksTime) {
    auto beep = SystemSound::createFromResource("BEEP_FM-1", "wav");
    auto pulse = SystemSound::createFromResource("BEEPROBO", "WAV");
    ASSERT_TRUE(beep.has_value());
    ASSERT_TRUE(pulse.has_value());
    EXPECT_NE(*beep, *pulse);
    auto player = std::make_shared<RecordingPlayer>();
    SystemSound::setPlayer(player);
    double t0 = clock_->now();
    SystemSound::playAlertSound(*beep);
    advance(1);
    SystemSound::playAlertSound(*pulse);
    auto plays = SystemSound::playsForTesting();
    ASSERT_EQ(plays.size(), 2u);
    EXPECT_EQ(plays[0].sound, *beep);
    EXPECT_DOUBLE_EQ(plays[0].time, t0);
    EXPECT_DOUBLE_EQ(plays[1].time, t0 + 1);
    EXPECT_TRUE(plays[1].alert);
    EXPECT_EQ(player->paths, (std::vector<std::string>{SystemSound::pathOf(*beep), SystemSound::pathOf(*pulse)}));
    // A disposed sound plays no more.
    SystemSound::dispose(*beep);
    SystemSound::playSystemSound(*beep);
    EXPECT_EQ(SystemSound::playsForTesting().size(), 2u);
    SystemSound::dispose(*pulse);
}

TEST_F(DeviceSoundTest, OnlyExistingWaveFilesMakeSounds) {
    EXPECT_FALSE(SystemSound::create(tempHome_.path() + "/missing.wav").has_value());
    EXPECT_FALSE(SystemSound::createFromResource("NoSuchSound", "wav").has_value());
    std::string text = tempHome_.path() + "/text.wav";
    std::ofstream(text) << "not a sound at all";
    EXPECT_FALSE(SystemSound::create(text).has_value());
    // Headless: no player, the play is still recorded.
    auto beep = SystemSound::createFromResource("BEEP_FM-1", "wav");
    ASSERT_TRUE(beep);
    SystemSound::playAlertSound(*beep);
    EXPECT_EQ(SystemSound::playsForTesting().size(), 1u);
    // Unless a test asks, the plays are not kept.
    SystemSound::setRecordsPlaysForTesting(false);
    SystemSound::playAlertSound(*beep);
    EXPECT_TRUE(SystemSound::playsForTesting().empty());
    SystemSound::dispose(*beep);
}

}  // namespace
