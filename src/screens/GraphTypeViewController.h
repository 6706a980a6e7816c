#pragma once
// The progress chart's kind: a line graph or a bar graph
// (settingskeys::kGraphType: YES bar, NO line). Two buttons show the kinds; a
// marker beside the chosen one shows the choice.
#include <memory>

#include "platform/ui/Button.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/ViewController.h"

class GraphTypeViewController : public ui::ViewController {
public:
    GraphTypeViewController();

    std::shared_ptr<ui::ImageView> lineGraphSelectedImageView() const { return lineGraphSelectedImageView_; }
    std::shared_ptr<ui::ImageView> barGraphSelectedImageView() const { return barGraphSelectedImageView_; }
    std::shared_ptr<ui::Button> lineGraphButton() const { return lineGraphButton_; }
    std::shared_ptr<ui::Button> barGraphButton() const { return barGraphButton_; }

    void loadView() override;
    // Marks the stored kind (read once, when the view loads).
    void viewDidLoad() override;
    void viewDidUnload() override;

    void barGraphTapped();
    void lineGraphTapped();
    // Writes the kind, synchronizes and marks it.
    void updatePrefs(bool bar);
    // Shows the bar marker and hides the line marker for YES, the reverse
    // for NO.
    void turnOnHighlight(bool bar);

private:
    std::shared_ptr<ui::ImageView> lineGraphSelectedImageView_;
    std::shared_ptr<ui::ImageView> barGraphSelectedImageView_;
    std::shared_ptr<ui::Button> lineGraphButton_;
    std::shared_ptr<ui::Button> barGraphButton_;
};
