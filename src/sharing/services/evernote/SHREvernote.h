#pragma once
// Saves a link, a text, an image or a file as a note in the user's
// Evernote account. The service is spoken to over Thrift (binary protocol
// over HTTP POST); its calls are synchronous, so the login check and each
// send run on a thread of their own and hand their outcome to the main
// thread, where every alert and report happens.
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "edam/edam_types.h"
#include "sharing/core/SHRSharer.h"

namespace edam {
class NoteStoreClient;
}

// An item that brings a note of its own: its content, title, tags,
// notebook, attributes and resources take precedence over the item's.
class SHREvernoteItem : public SHRItem {
public:
    const std::optional<edam::Note>& note() const { return note_; }
    void setNote(std::optional<edam::Note> note) { note_ = std::move(note); }

private:
    std::optional<edam::Note> note_;
};

class SHREvernote : public SHRSharer {
public:
    using Results = std::map<std::string, std::string>;

    // The service key and secret (configured empty).
    static constexpr const char* ConsumerKey = "";
    static constexpr const char* ConsumerSecret = "";
    static constexpr const char* ClientName = "ShrareKit EDMA";
    // The custom value that carries a file's MIME type through the offline
    // queue, which keeps no MIME type of its own.
    static constexpr const char* MimeTypeKey = "SHREvernoteMimeType";

    std::string sharerId() const override { return "SHREvernote"; }
    std::string sharerTitle() const override;
    bool canShareURL() const override { return true; }
    bool canShareImage() const override { return true; }
    bool canShareText() const override { return true; }
    bool canShareFile() const override { return true; }
    bool requiresAuthentication() const override { return true; }
    bool canShare() const override { return true; }
    std::optional<std::string> authorizationFormCaption() const override;
    std::vector<std::shared_ptr<SHRFormFieldSettings>> authorizationFormFields() const override;
    std::vector<std::shared_ptr<SHRFormFieldSettings>> shareFormFieldsForType(int type) override;

    // --- Login check.
    void authorizationFormValidate(SHRFormController& form) override;
    void authFinished(bool success);

    // --- Sending.
    bool tryToSend() override;
    bool send() override;
    void sendFinished(bool success);

    // --- The service (callable from any thread).
    // Checks the interface version, then logs in. Nothing when the service
    // refuses the version (after the "EDMA Error" alert on the main thread,
    // unless quiet); service errors are raised as they come.
    static std::optional<edam::AuthenticationResult> getAuthenticationResultForUsername(const std::string& username,
                                                                                        const std::string& password,
                                                                                        bool quiet = false);
    // The user's default notebook, if any.
    static std::optional<edam::Notebook> defaultNoteBookFromNoteStore(edam::NoteStoreClient& noteStore,
                                                                      const std::string& authToken);
    // The ENML media tag of a resource; the size is left out when the width
    // or the height is not above 0.
    static std::string enMediaTagWithResource(const edam::Resource& resource, double width, double height);
    // The note as it will be created: title, tags, notebook left to the
    // caller; content (ENML), resources, attributes and creation time
    // filled from the item where the prepared note has none.
    static edam::Note noteForItem(const SHRItem& item, const std::optional<edam::Note>& prepared);
    // Text made safe inside an XML element or a quoted attribute.
    static std::string escapeXML(const std::string& text);
    // The text of a service user error's code.
    static std::string errorTextForCode(int code);

    // The whole send, on the calling thread: log in with the credentials,
    // build and create the note; the results dictionary described below.
    // "success" is "1" or "0", "errorMessage" a text and "shouldRelogin"
    // "1" for the service's invalid-auth and auth-expired errors. Never
    // raises.
    static Results sendNote(const SHRItem& item, const std::optional<edam::Note>& prepared, const std::string& username,
                            const std::string& password, bool quiet = false);
    // The whole login check, on the calling thread: "success" "1" or "0".
    // Never raises.
    static Results checkLogin(const std::string& username, const std::string& password, bool quiet = false);

private:
    void _authFinished(const Results& results);
    void _sendFinished(const Results& results);
};
