#include "screens/GraphTypeViewController.h"

#include <vector>

#include "platform/base/UserDefaults.h"
#include "platform/gfx/Context.h"
#include "platform/ui/Application.h"
#include "platform/ui/Drawing.h"
#include "platform/ui/NavigationController.h"
#include "screens/ScreenAction.h"
#include "screens/SettingsLook.h"
#include "training/HomeLook.h"
#include "training/LookPalette.h"
#include "training/SettingsKeys.h"

namespace {

const ui::Size kFace(136, 150);
const ui::Size kMarker(36, 36);

// The face of a kind's button: a cream chart card with the kind drawn on a
// small grid, and its name below.
std::shared_ptr<gfx::Image> chartFace(bool bar) {
    gfx::ImageContext c(kFace, ui::Screen::mainScreen().scale());
    const ui::Rect card(1, 1, kFace.width - 2, kFace.height - 2);
    ui::draw::Bezel bezel;
    bezel.face = ui::draw::Bezel::Face::Gradient;
    bezel.top = lookpalette::cream();
    bezel.bottom = lookpalette::creamShade();
    bezel.radius = 12;
    bezel.edge = ui::draw::darker(homelook::barTint(), 0.35f);
    bezel.edgeWidth = 1.5f;
    ui::draw::bezel(c, card, bezel);
    const ui::Rect plot(18, 18, kFace.width - 36, 84);
    const gfx::Color ink = lookpalette::sepia();
    // Grid and axes.
    c.setFillColor(ink.withAlpha(0.15f));
    for (int i = 1; i <= 3; ++i)
        c.fillRect(ui::Rect(plot.minX(), plot.minY() + plot.height() * i / 4, plot.width(), 1));
    c.setFillColor(ink);
    c.fillRect(ui::Rect(plot.minX(), plot.minY(), 2, plot.height()));
    c.fillRect(ui::Rect(plot.minX(), plot.maxY() - 2, plot.width(), 2));
    const std::vector<float> values{0.3f, 0.45f, 0.4f, 0.65f, 0.8f};
    const ui::Float step = (plot.width() - 10) / static_cast<ui::Float>(values.size());
    const gfx::Color gold = ui::draw::darker(homelook::barTint(), 0.1f);
    if (bar) {
        for (std::size_t i = 0; i < values.size(); ++i) {
            const ui::Float h = (plot.height() - 6) * values[i];
            const ui::Rect r(plot.minX() + 8 + step * static_cast<ui::Float>(i), plot.maxY() - 2 - h, step - 6, h);
            ui::draw::fillRoundedRect(c, r, 2, gold);
            ui::draw::strokeRoundedRect(c, r, 2, ui::draw::darker(homelook::barTint(), 0.4f), 1);
        }
    } else {
        c.setStrokeColor(gold);
        c.setLineWidth(3);
        c.setLineJoin(gfx::LineJoin::Round);
        c.setLineCap(gfx::LineCap::Round);
        c.beginPath();
        for (std::size_t i = 0; i < values.size(); ++i) {
            const ui::Float x = plot.minX() + 8 + step * (static_cast<ui::Float>(i) + 0.5f);
            const ui::Float y = plot.maxY() - 2 - (plot.height() - 6) * values[i];
            if (i == 0) c.moveTo(x, y);
            else c.lineTo(x, y);
        }
        c.strokePath();
        c.setFillColor(ink);
        for (std::size_t i = 0; i < values.size(); ++i) {
            const ui::Float x = plot.minX() + 8 + step * (static_cast<ui::Float>(i) + 0.5f);
            const ui::Float y = plot.maxY() - 2 - (plot.height() - 6) * values[i];
            c.fillEllipseInRect(ui::Rect(x - 3.5f, y - 3.5f, 7, 7));
        }
    }
    ui::draw::textCentered(c, bar ? "Bar Graph" : "Line Graph", ui::Rect(0, plot.maxY() + 8, kFace.width, 30),
                           gfx::Font::boldSystemFont(17), ink);
    return c.image();
}

// The marker of the chosen kind: a gold disc with a dark tick.
std::shared_ptr<gfx::Image> markerImage() {
    gfx::ImageContext c(kMarker, ui::Screen::mainScreen().scale());
    const ui::Rect disc(2, 2, kMarker.width - 4, kMarker.height - 4);
    c.setFillColor(homelook::barTint());
    c.fillEllipseInRect(disc);
    c.setStrokeColor(ui::draw::darker(homelook::barTint(), 0.45f));
    c.setLineWidth(1.5f);
    c.strokeEllipseInRect(disc);
    ui::draw::checkmark(c, disc.inset(8, 9), lookpalette::chosenTick(), 3.5f);
    return c.image();
}

}  // namespace

GraphTypeViewController::GraphTypeViewController() : ui::ViewController("GraphTypeView") {
    setTitle("Graph Selection");
}

void GraphTypeViewController::loadView() {
    auto view = settingslook::screenView();
    view->addSubview(settingslook::note(ui::Rect(20, 14, 280, 40),
                                        "Choose how the Progress screen draws your total push-ups per day."));

    lineGraphButton_ =
        std::make_shared<ui::Button>(ui::ButtonType::Custom, ui::Rect(16, 68, kFace.width, kFace.height));
    lineGraphButton_->setBackgroundImage(chartFace(false));
    lineGraphButton_->setAccessibilityLabel("Line Graph");
    lineGraphButton_->addTarget(screenAction(this, &GraphTypeViewController::lineGraphTapped),
                                ui::ControlEvents::TouchUpInside);
    view->addSubview(lineGraphButton_);

    barGraphButton_ =
        std::make_shared<ui::Button>(ui::ButtonType::Custom, ui::Rect(168, 68, kFace.width, kFace.height));
    barGraphButton_->setBackgroundImage(chartFace(true));
    barGraphButton_->setAccessibilityLabel("Bar Graph");
    barGraphButton_->addTarget(screenAction(this, &GraphTypeViewController::barGraphTapped),
                               ui::ControlEvents::TouchUpInside);
    view->addSubview(barGraphButton_);

    // The markers sit under the buttons, centred.
    auto marker = markerImage();
    lineGraphSelectedImageView_ = std::make_shared<ui::ImageView>(
        ui::Rect(16 + (kFace.width - kMarker.width) / 2, 230, kMarker.width, kMarker.height));
    lineGraphSelectedImageView_->setImage(marker);
    lineGraphSelectedImageView_->setAccessibilityLabel("Line graph chosen");
    view->addSubview(lineGraphSelectedImageView_);
    barGraphSelectedImageView_ = std::make_shared<ui::ImageView>(
        ui::Rect(168 + (kFace.width - kMarker.width) / 2, 230, kMarker.width, kMarker.height));
    barGraphSelectedImageView_->setImage(marker);
    barGraphSelectedImageView_->setAccessibilityLabel("Bar graph chosen");
    view->addSubview(barGraphSelectedImageView_);
    setView(view);
}

void GraphTypeViewController::viewDidLoad() {
    turnOnHighlight(base::UserDefaults::standardUserDefaults().boolForKey(settingskeys::kGraphType));
    navigationItem()->setTitleView(settingslook::titleLabel("Graph Selection", 200));
}

void GraphTypeViewController::viewDidUnload() {
    lineGraphSelectedImageView_.reset();
    barGraphSelectedImageView_.reset();
}

void GraphTypeViewController::barGraphTapped() { updatePrefs(true); }

void GraphTypeViewController::lineGraphTapped() { updatePrefs(false); }

void GraphTypeViewController::updatePrefs(bool bar) {
    auto& defaults = base::UserDefaults::standardUserDefaults();
    defaults.setBool(settingskeys::kGraphType, bar);
    defaults.synchronize();
    turnOnHighlight(bar);
}

void GraphTypeViewController::turnOnHighlight(bool bar) {
    if (barGraphSelectedImageView_) barGraphSelectedImageView_->setHidden(!bar);
    if (lineGraphSelectedImageView_) lineGraphSelectedImageView_->setHidden(bar);
}
