#include "screens/DrawGraphViewController.h"

#include "training/DataAccess.h"
#include "training/HomeLook.h"

DrawGraphViewController::DrawGraphViewController() : ui::ViewController("DrawGraphViewController") {}

void DrawGraphViewController::loadView() {
    auto view = std::make_shared<ui::View>(ui::Rect(0, 0, 320, 416));
    view->setBackgroundColor(homelook::background());
    view->setAutoresizingMask(ui::Autoresizing::FlexibleWidth | ui::Autoresizing::FlexibleHeight);
    setView(view);
}

void DrawGraphViewController::viewDidLoad() { graphData_ = DataAccess::getLogData(); }

void DrawGraphViewController::reloadGraph() {
    graphData_.clear();
    if (!isViewLoaded()) {
        view();  // loading it reads the log
        return;
    }
    viewDidLoad();
}
