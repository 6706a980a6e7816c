#include "training/SummaryViewController.h"

#include "platform/gfx/Font.h"
#include "training/HomeLook.h"

namespace {
// One page of the home screen's pager.
constexpr ui::Float kPageWidth = 300;
constexpr ui::Float kPageHeight = 150;
}  // namespace

SummaryPageViewController::SummaryPageViewController(std::string nibName, std::string heading)
    : ui::ViewController(std::move(nibName)), heading_(std::move(heading)) {}

void SummaryPageViewController::loadView() {
    auto page = std::make_shared<ui::View>(ui::Rect(0, 0, kPageWidth, kPageHeight));
    page->setBackgroundColor(gfx::Color::clear());
    auto card = std::make_shared<homelook::CardView>(ui::Rect(4, 2, kPageWidth - 8, kPageHeight - 4));
    card->setAutoresizingMask(ui::Autoresizing::FlexibleWidth | ui::Autoresizing::FlexibleHeight);
    card->addSubview(homelook::label(ui::Rect(14, 8, kPageWidth - 36, 24), heading_, gfx::Font::boldSystemFont(17),
                                     homelook::gold()));
    buildContent(*card);
    page->addSubview(card);
    setView(page);
}

std::shared_ptr<ui::Label> SummaryPageViewController::textLabel(ui::View& card) {
    auto l = homelook::label(ui::Rect(14, 36, card.bounds().size.width - 28, card.bounds().size.height - 44), "",
                             gfx::Font::systemFont(16), homelook::ink());
    l->setNumberOfLines(0);
    l->setLineBreakMode(ui::LineBreakMode::WordWrap);
    card.addSubview(l);
    return l;
}

SummaryViewController::SummaryViewController() : SummaryPageViewController("SummaryView", "Your Push-ups") {}

void SummaryViewController::buildContent(ui::View& card) {
    const ui::Float column = (card.bounds().size.width - 16) / 3;
    const char* captions[] = {"in total", "last workout", "next workout"};
    std::shared_ptr<ui::Label>* figures[] = {&totalPULabel_, &totalLastDay_, &totalNextDay_};
    for (int i = 0; i < 3; ++i) {
        const ui::Float x = 8 + column * i;
        *figures[i] = homelook::label(ui::Rect(x, 52, column, 44), "0", gfx::Font::boldSystemFont(34), homelook::ink(),
                                      ui::TextAlignment::Center);
        (*figures[i])->setAdjustsFontSizeToFitWidth(true);
        (*figures[i])->setMinimumFontSize(16);
        card.addSubview(*figures[i]);
        card.addSubview(homelook::label(ui::Rect(x, 100, column, 20), captions[i], gfx::Font::systemFont(13),
                                        homelook::dimInk(), ui::TextAlignment::Center));
    }
}

void SummaryViewController::viewDidUnload() {
    totalPULabel_.reset();
    totalLastDay_.reset();
    totalNextDay_.reset();
}
