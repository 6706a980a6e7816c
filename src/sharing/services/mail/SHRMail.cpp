#include "sharing/services/mail/SHRMail.h"

#include "sharing/core/SHR.h"
#include "sharing/core/SHRComposerBody.h"
#include "sharing/core/SHRFunctions.h"

void SHRMailComposeViewController::viewDidDisappear(bool animated) {
    ui::MailComposeViewController::viewDidDisappear(animated);
    if (!modalViewController()) SHR::currentHelper().viewWasDismissed();
}

std::string SHRMail::sharerTitle() const { return localizedFormat("Email"); }

bool SHRMail::send() {
    setQuiet(true);
    if (!validateItem()) return false;
    return sendMail();
}

bool SHRMail::sendMail() {
    auto keep = self();
    if (!ui::MailComposeViewController::canSendMail()) {
        SHR::currentHelper().hideCurrentViewController();
        sendDidFailWithError(SHR::error(localizedFormat("Mail cannot be sent from this computer.")));
        return true;
    }
    auto composer = std::make_shared<SHRMailComposeViewController>();
    composer->setMailComposeDelegate(std::static_pointer_cast<SHRMail>(keep));
    const std::string body = SHRComposerBody(*item(), SHRBodyStyle::HTML, true);
    if (item()->data())
        composer->addAttachmentData(*item()->data(), item()->mimeType().value_or("application/octet-stream"),
                                    item()->filename().value_or("Attachment"));
    if (item()->image()) composer->addAttachmentData(item()->image()->encodeJPEG(1.0), "image/jpeg", "Image.jpg");
    composer->setSubject(item()->title().value_or(""));
    composer->setMessageBody(body, true);
    SHR::currentHelper().showViewController(composer);
    return true;
}

void SHRMail::didFinishWithResult(ui::MailComposeViewController& composer, ui::MailComposeResult result,
                                  const std::optional<net::Error>& error) {
    auto keep = self();
    SHR::currentHelper().hideCurrentViewControllerAnimated(true);
    // No mail program took the message: it is only in the outbox. Quiet or
    // not, the user is told it was not sent and where the file is.
    if (result == ui::MailComposeResult::Saved && !composer.lastWrittenIsDraft())
        showAlert(localizedFormat("Email"),
                  localizedFormat("The email was not sent: no mail program took it. It is saved as %@",
                                  composer.lastWrittenPath()));
    switch (result) {
    case ui::MailComposeResult::Cancelled: sendDidCancel(); break;
    case ui::MailComposeResult::Saved:
    case ui::MailComposeResult::Sent: sendDidFinish(); break;
    case ui::MailComposeResult::Failed: sendDidFailWithError(error); break;
    }
}
