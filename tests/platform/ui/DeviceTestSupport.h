#pragma once
// Helpers of the device-service tests: a screen to present from, reading
// files back and writing screenshots for a look.
#include <fstream>
#include <sstream>
#include <string>

#include "UITestSupport.h"

namespace devicetest {

inline std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

inline std::vector<std::string> filesIn(const std::string& folder) {
    std::vector<std::string> out;
    std::error_code ec;
    for (auto& e : std::filesystem::directory_iterator(folder, ec))
        if (e.is_regular_file()) out.push_back(e.path().string());
    std::sort(out.begin(), out.end());
    return out;
}

class DeviceTest : public uitest::UITest {
protected:
    void SetUp() override {
        UITest::SetUp();
        home_ = std::make_shared<ui::ViewController>();
        home_->setTitle("Home");
        window_->addSubview(home_->view());
    }
    void present(const std::shared_ptr<ui::ViewController>& controller) {
        home_->presentModalViewController(controller, false);
        advance(0.5);
    }
    // Writes the screen where TOLVEK_SCREENSHOTS points, for looking at.
    void shoot(const std::string& name) {
        const char* dir = std::getenv("TOLVEK_SCREENSHOTS");
        if (!dir || !*dir) return;
        std::filesystem::create_directories(dir);
        renderScreen()->writePNG(std::string(dir) + "/" + name + ".png");
    }
    std::shared_ptr<ui::ViewController> home_;
};

}  // namespace devicetest
