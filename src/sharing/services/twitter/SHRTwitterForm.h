#pragma once
// The compose screen of a status update: a text view with a counter of the
// characters left (140, or 115 when an image link will be appended), Cancel
// and "Send to Twitter".
#include <memory>

#include "platform/base/NotificationCenter.h"
#include "platform/ui/Label.h"
#include "platform/ui/TextField.h"
#include "platform/ui/ViewController.h"

class SHRTwitter;

class SHRTwitterForm : public ui::ViewController, public ui::TextViewDelegate {
public:
    SHRTwitterForm();

    std::shared_ptr<SHRTwitter> delegate() const { return delegate_.lock(); }
    void setDelegate(std::weak_ptr<SHRTwitter> delegate) { delegate_ = std::move(delegate); }
    const std::shared_ptr<ui::TextView>& textView() const { return textView_; }
    const std::shared_ptr<ui::Label>& counter() const { return counter_; }
    bool hasAttachment() const { return hasAttachment_; }
    void setHasAttachment(bool attachment) { hasAttachment_ = attachment; }

    // The characters left: the limit less the text's UTF-16 length.
    int remainingCount() const;
    int limit() const { return hasAttachment_ ? 115 : 140; }

    void loadView() override;
    void viewDidAppear(bool animated) override;
    void viewDidDisappear(bool animated) override;
    bool shouldAutorotateToInterfaceOrientation(ui::InterfaceOrientation) override { return true; }
    void keyboardWillShow(const base::Notification& notification);
    void updateCounter();
    void layoutCounter();
    void save();
    void cancel();

    void textViewDidBeginEditing(ui::TextView&) override { updateCounter(); }
    void textViewDidChange(ui::TextView&) override { updateCounter(); }
    void textViewDidEndEditing(ui::TextView&) override { updateCounter(); }

private:
    std::weak_ptr<SHRTwitter> delegate_;
    std::shared_ptr<ui::TextView> textView_;
    std::shared_ptr<ui::Label> counter_;
    bool hasAttachment_ = false;
    std::optional<base::NotificationCenter::Token> keyboardObserver_;
};
