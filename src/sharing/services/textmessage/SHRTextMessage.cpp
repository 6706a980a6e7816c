#include "sharing/services/textmessage/SHRTextMessage.h"

#include "sharing/core/SHR.h"
#include "sharing/core/SHRComposerBody.h"

void SHRMessageComposeViewController::viewDidDisappear(bool animated) {
    ui::MessageComposeViewController::viewDidDisappear(animated);
    if (!modalViewController()) SHR::currentHelper().viewWasDismissed();
}

bool SHRTextMessage::send() {
    setQuiet(true);
    if (!validateItem()) return false;
    return sendText();
}

bool SHRTextMessage::sendText() {
    auto keep = self();
    auto composer = std::make_shared<SHRMessageComposeViewController>();
    composer->setMessageComposeDelegate(std::static_pointer_cast<SHRTextMessage>(keep));
    composer->setBody(SHRComposerBody(*item(), SHRBodyStyle::PlainText, false));
    SHR::currentHelper().showViewController(composer);
    return true;
}

void SHRTextMessage::didFinishWithResult(ui::MessageComposeViewController&, ui::MessageComposeResult result) {
    auto keep = self();
    SHR::currentHelper().hideCurrentViewControllerAnimated(true);
    switch (result) {
    case ui::MessageComposeResult::Cancelled: sendDidCancel(); break;
    case ui::MessageComposeResult::Sent: sendDidFinish(); break;
    case ui::MessageComposeResult::Failed: sendDidFailWithError(std::nullopt); break;
    }
}
