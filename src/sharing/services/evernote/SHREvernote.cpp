#include "sharing/services/evernote/SHREvernote.h"

#include <cmath>
#include <exception>
#include <thread>

#include <thrift/TApplicationException.h>
#include <thrift/protocol/TBinaryProtocol.h>

#include "edam/NoteStore.h"
#include "edam/UserStore.h"
#include "edam/edam_constants.h"
#include "platform/base/Clock.h"
#include "platform/base/Digest.h"
#include "platform/base/Log.h"
#include "platform/base/RunLoop.h"
#include "platform/net/PercentEncoding.h"
#include "platform/net/Services.h"
#include "platform/net/URLConnection.h"
#include "platform/ui/AlertView.h"
#include "sharing/core/SHR.h"
#include "sharing/core/SHRActivityIndicator.h"
#include "sharing/core/SHRFormController.h"
#include "sharing/core/SHRFunctions.h"
#include "sharing/services/evernote/ThriftURLTransport.h"

using apache::thrift::protocol::TBinaryProtocol;
using apache::thrift::protocol::TProtocol;

namespace {
// Bounds on what one answer of the service may ask us to hold.
constexpr int32_t StringLimit = 64 * 1024 * 1024;
constexpr int32_t ContainerLimit = 100000;

std::shared_ptr<TProtocol> protocolFor(const net::URL& url) {
    auto transport = std::make_shared<ThriftURLTransport>(url);
    // Non-strict message headers on write; both forms accepted on read.
    return std::make_shared<TBinaryProtocol>(transport, StringLimit, ContainerLimit, false, false);
}

std::string text(const base::Data& bytes) { return std::string(bytes.begin(), bytes.end()); }

edam::Data dataRecord(const base::Data& body) {
    edam::Data data;
    data.__set_bodyHash(text(base::md5(body)));
    data.__set_size(static_cast<int32_t>(body.size()));
    data.__set_body(text(body));
    return data;
}

void showAlertOnMain(const std::string& title, const std::string& message) {
    base::RunLoop::main().performOnMainThread(
        [title, message] {
            auto alert = std::make_shared<ui::AlertView>(title, message, std::weak_ptr<ui::AlertViewDelegate>(),
                                                         localizedFormat("Close"));
            alert->show();
        },
        true);
}

// The MIME type of a file item: its own, the one kept for the offline
// queue, or the generic type for bytes.
std::string mimeTypeOf(const SHRItem& item) {
    if (item.mimeType() && !item.mimeType()->empty()) return *item.mimeType();
    if (const std::string* kept = item.customValueForKey(SHREvernote::MimeTypeKey).asString(); kept && !kept->empty())
        return *kept;
    return "application/octet-stream";
}
}  // namespace

std::string SHREvernote::sharerTitle() const { return localizedFormat("Evernote"); }

std::optional<std::string> SHREvernote::authorizationFormCaption() const {
    return localizedFormat("Create a free account at %@", "Evernote.com");
}

std::vector<std::shared_ptr<SHRFormFieldSettings>> SHREvernote::authorizationFormFields() const {
    return {SHRFormFieldSettings::label("Username", "username", SHRFormFieldTypeText, ""),
            SHRFormFieldSettings::label("Password", "password", SHRFormFieldTypePassword, "")};
}

std::vector<std::shared_ptr<SHRFormFieldSettings>> SHREvernote::shareFormFieldsForType(int) {
    return {SHRFormFieldSettings::label(localizedFormat("Title"), "title", SHRFormFieldTypeText,
                                        stringOrEmpty(item()->title())),
            SHRFormFieldSettings::label(localizedFormat("Tags"), "tags", SHRFormFieldTypeText,
                                        stringOrEmpty(item()->tags()))};
}

// --- The service ------------------------------------------------------------------

std::optional<edam::AuthenticationResult> SHREvernote::getAuthenticationResultForUsername(const std::string& username,
                                                                                          const std::string& password,
                                                                                          bool quiet) {
    edam::UserStoreClient userStore(protocolFor(net::Services::url("Evernote", "/edam/user")));
    if (!userStore.checkVersion(ClientName, edam::g_edam_constants.EDAM_VERSION_MAJOR,
                                edam::g_edam_constants.EDAM_VERSION_MINOR)) {
        if (!quiet) showAlertOnMain(localizedFormat("EDMA Error"), localizedFormat("EDMA Version is too old."));
        return std::nullopt;
    }
    edam::AuthenticationResult result;
    userStore.authenticate(result, username, password, ConsumerKey, ConsumerSecret);
    return result;
}

std::optional<edam::Notebook> SHREvernote::defaultNoteBookFromNoteStore(edam::NoteStoreClient& noteStore,
                                                                        const std::string& authToken) {
    std::vector<edam::Notebook> notebooks;
    noteStore.listNotebooks(notebooks, authToken);
    for (const auto& notebook : notebooks)
        if (notebook.__isset.defaultNotebook && notebook.defaultNotebook) return notebook;
    return std::nullopt;
}

std::string SHREvernote::escapeXML(const std::string& in) {
    std::string out;
    out.reserve(in.size());
    for (unsigned char c : in) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        case '\'': out += "&apos;"; break;
        default:
            // Control characters other than tab and line breaks are not
            // allowed in XML at all.
            if (c < 0x20 && c != '\t' && c != '\n' && c != '\r') break;
            out += static_cast<char>(c);
        }
    }
    return out;
}

std::string SHREvernote::enMediaTagWithResource(const edam::Resource& resource, double width, double height) {
    std::string size;
    if (width > 0 && height > 0)  // false for not-a-number as well
        size = base::format("height=\"%.0f\" width=\"%.0f\" ", height, width);
    const base::Data body(resource.data.body.begin(), resource.data.body.end());
    return base::format("<en-media type=\"%@\" %@hash=\"%@\"/>", escapeXML(resource.mime), size, base::md5Hex(body));
}

std::string SHREvernote::errorTextForCode(int code) {
    switch (code) {
    case 2: return "Invalid format";
    case 3: return "Permission Denied";
    case 4: return "Internal Evernote Error";
    case 5: return "Data Required";
    case 7: return "Quota Reached";
    case 8: return "Invalid Auth";
    case 9: return "Auth Expired";
    case 10: return "Data Conflict";
    default: return "Unknown error from Evernote";
    }
}

edam::Note SHREvernote::noteForItem(const SHRItem& item, const std::optional<edam::Note>& prepared) {
    edam::Note note = prepared.value_or(edam::Note());
    std::vector<edam::Resource> resources;
    if (prepared && prepared->__isset.resources) resources = prepared->resources;
    edam::NoteAttributes attributes = note.__isset.attributes ? note.attributes : edam::NoteAttributes();
    const std::string url = item.URL() ? item.URL()->absoluteString() : "";
    if (!attributes.__isset.sourceURL && !url.empty()) attributes.__set_sourceURL(url);

    const std::string itemTitle = stringOrEmpty(item.title());
    if (!itemTitle.empty()) note.__set_title(itemTitle);
    else if (!note.__isset.title) note.__set_title("Untitled");

    if (!note.__isset.tagNames && item.tags() && !item.tags()->empty()) {
        // Tags are separated by blanks; runs of blanks give no empty tags.
        std::vector<std::string> tags;
        std::size_t start = 0;
        const std::string& all = *item.tags();
        while (start <= all.size()) {
            std::size_t end = all.find(' ', start);
            if (end == std::string::npos) end = all.size();
            if (end > start) tags.push_back(all.substr(start, end - start));
            start = end + 1;
        }
        if (!tags.empty()) note.__set_tagNames(tags);
    }

    if (!note.__isset.content) {
        // Every text goes in escaped: an "&" or "<" typed in a title must
        // not make the note invalid.
        std::string enml =
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
            "<!DOCTYPE en-note SYSTEM \"http://xml.evernote.com/pub/enml2.dtd\">\n"
            "<en-note style=\"word-wrap: break-word; -webkit-nbsp-mode: space; -webkit-line-break: "
            "after-white-space;\">";
        if (!url.empty()) {
            if (!itemTitle.empty())
                enml += base::format("<h1><a href=\"%@\">%@</a></h1>", escapeXML(url), escapeXML(itemTitle));
            enml += base::format("<p><a href=\"%@\">%@</a></p>", escapeXML(url), escapeXML(url));
            attributes.__set_sourceURL(url);
        } else if (!itemTitle.empty()) {
            enml += base::format("<h1>%@</h1>", escapeXML(itemTitle));
        }
        if (item.text() && !item.text()->empty()) enml += base::format("<p>%@</p>", escapeXML(*item.text()));
        if (item.image()) {
            edam::Resource resource;
            resource.__set_data(dataRecord(item.image()->encodeJPEG(0.6)));
            resource.__set_mime("image/jpeg");
            resources.push_back(resource);
            enml += base::format("<p>%@</p>",
                                 enMediaTagWithResource(resource, item.image()->width(), item.image()->height()));
        }
        if (item.data()) {
            edam::Resource resource;
            resource.__set_data(dataRecord(*item.data()));
            resource.__set_mime(mimeTypeOf(item));
            if (item.filename() && !item.filename()->empty()) {
                edam::ResourceAttributes resourceAttributes;
                resourceAttributes.__set_fileName(*item.filename());
                resource.__set_attributes(resourceAttributes);
            }
            resources.push_back(resource);
            enml += base::format("<p>%@</p>", enMediaTagWithResource(resource, 0, 0));
        }
        enml += "</en-note>";
        note.__set_content(enml);
    }

    note.__set_resources(resources);
    note.__set_attributes(attributes);
    note.__set_created(static_cast<int64_t>(std::floor(base::Clock::current().now())) * 1000);
    return note;
}

namespace {
// Fills the prepared note's image resources that name only a source: the
// image is fetched, becomes the resource's data, and its placeholder in the
// content becomes the resource's media tag. A resource that cannot be
// fetched stays as it was.
void fetchSourcedImages(edam::Note& note) {
    for (auto& resource : note.resources) {
        if (resource.__isset.data || !resource.__isset.attributes || resource.attributes.sourceURL.empty() ||
            resource.mime != "image/jpeg")
            continue;
        try {
            auto url = net::URL::URLWithString(resource.attributes.sourceURL);
            if (!url) continue;
            net::URLRequest request(*url, net::CachePolicy::ReloadIgnoringLocalAndRemoteCacheData,
                                    ThriftURLTransport::CallTimeout);
            auto result = net::URLConnection::sendSynchronousRequest(request);
            if (result.error || !result.response || result.response->statusCode() != 200) continue;
            auto image = gfx::Image::decode(result.data);
            if (!image) continue;
            resource.__set_data(dataRecord(result.data));
            const std::string placeholder = base::format("<img src=\"%@\" />", resource.attributes.sourceURL);
            const std::string tag = SHREvernote::enMediaTagWithResource(resource, image->width(), image->height());
            for (std::size_t at = note.content.find(placeholder); at != std::string::npos;
                 at = note.content.find(placeholder, at + tag.size()))
                note.content.replace(at, placeholder.size(), tag);
        } catch (const std::exception& e) {
            base::log(std::string("Sharing: a note image could not be fetched: ") + e.what());
        }
    }
}
}  // namespace

SHREvernote::Results SHREvernote::checkLogin(const std::string& username, const std::string& password, bool quiet) {
    Results results{{"success", "0"}};
    try {
        auto auth = getAuthenticationResultForUsername(username, password, quiet);
        if (auth && auth->__isset.user && auth->__isset.authenticationToken) results["success"] = "1";
    } catch (const std::exception& e) {
        base::log(std::string("Sharing: the note service login failed: ") + e.what());
    } catch (...) {
        base::log("Sharing: the note service login failed");
    }
    return results;
}

SHREvernote::Results SHREvernote::sendNote(const SHRItem& item, const std::optional<edam::Note>& prepared,
                                           const std::string& username, const std::string& password, bool quiet) {
    Results results{{"success", "0"}, {"errorMessage", ""}, {"shouldRelogin", "0"}};
    const std::string failure = localizedFormat("There was a problem sharing with Evernote");
    try {
        auto auth = getAuthenticationResultForUsername(username, password, quiet);
        if (!auth || !auth->__isset.user || !auth->__isset.authenticationToken || auth->authenticationToken.empty() ||
            !auth->user.__isset.shardId || auth->user.shardId.empty()) {
            // No login to send with (refused version, or an answer without
            // a user or token): fail instead of sending anywhere.
            results["errorMessage"] = failure;
            return results;
        }
        const std::string& token = auth->authenticationToken;
        // The shard id names one path segment, whatever the answer held.
        edam::NoteStoreClient noteStore(protocolFor(
            net::Services::url("Evernote", "/edam/note/" + net::percentEncodeUnreserved(auth->user.shardId))));
        edam::Note note = noteForItem(item, prepared);
        if (prepared) fetchSourcedImages(note);
        if (!note.__isset.notebookGuid)
            if (auto notebook = defaultNoteBookFromNoteStore(noteStore, token); notebook && notebook->__isset.guid)
                note.__set_notebookGuid(notebook->guid);
        edam::Note created;
        noteStore.createNote(created, token, note);
        results["success"] = "1";
    } catch (const edam::EDAMUserException& e) {
        const int code = static_cast<int>(e.errorCode);
        results["errorMessage"] =
            localizedFormat("Evernote Error on %@: %@", e.parameter, localizedFormat(errorTextForCode(code)));
        results["shouldRelogin"] = code == 8 || code == 9 ? "1" : "0";
    } catch (const std::exception& e) {
        base::log(std::string("Sharing: the note could not be sent: ") + e.what());
        results["errorMessage"] = failure;
    } catch (...) {
        base::log("Sharing: the note could not be sent");
        results["errorMessage"] = failure;
    }
    return results;
}

// --- Login check ------------------------------------------------------------------

void SHREvernote::authorizationFormValidate(SHRFormController& form) {
    auto keep = self();
    beginLoginCheck(form);
    auto values = form.formValues();
    std::weak_ptr<SHREvernote> weak = std::static_pointer_cast<SHREvernote>(keep);
    std::thread([weak, username = values["username"], password = values["password"], quiet = quiet()] {
        Results results = checkLogin(username, password, quiet);
        base::RunLoop::main().performOnMainThread(
            [weak, results] {
                if (auto me = weak.lock()) me->_authFinished(results);
            },
            true);
    }).detach();
}

void SHREvernote::_authFinished(const Results& results) {
    auto it = results.find("success");
    authFinished(it != results.end() && it->second == "1");
}

void SHREvernote::authFinished(bool success) {
    auto keep = self();
    auto form = endLoginCheck();
    if (success) {
        if (form) form->saveForm();
        return;
    }
    showAlert(localizedFormat("Login Error"), localizedFormat("Your username and password did not match"));
}

// --- Sending ----------------------------------------------------------------------

bool SHREvernote::tryToSend() {
    // The offline queue keeps no MIME type: carry a file's along as a
    // custom value, so its replay sends it with the right type.
    if (item()->shareType() == SHRShareTypeFile && item()->mimeType() && !item()->mimeType()->empty() &&
        item()->customValueForKey(MimeTypeKey).isNull())
        item()->setCustomValue(base::Value(*item()->mimeType()), MimeTypeKey);
    return SHRSharer::tryToSend();
}

bool SHREvernote::send() {
    if (!validateItem()) return false;
    auto keep = self();
    sendDidStart();
    std::optional<edam::Note> prepared;
    if (auto evernoteItem = std::dynamic_pointer_cast<SHREvernoteItem>(item())) prepared = evernoteItem->note();
    // The thread works on copies: nothing it reads changes under it.
    auto copy = std::make_shared<SHRItem>(*item());
    std::weak_ptr<SHREvernote> weak = std::static_pointer_cast<SHREvernote>(keep);
    std::thread([weak, copy, prepared, username = stringOrEmpty(getAuthValueForKey("username")),
                 password = stringOrEmpty(getAuthValueForKey("password")), quiet = quiet()] {
        Results results = sendNote(*copy, prepared, username, password, quiet);
        base::RunLoop::main().performOnMainThread(
            [weak, results] {
                if (auto me = weak.lock()) me->_sendFinished(results);
            },
            true);
    }).detach();
    return true;
}

void SHREvernote::_sendFinished(const Results& results) {
    auto keep = self();
    auto value = [&](const char* key) {
        auto it = results.find(key);
        return it != results.end() ? it->second : std::string();
    };
    if (value("success") == "1") sendDidFinish();
    else if (value("shouldRelogin") == "1") sendDidFailShouldRelogin();
    else sendDidFailWithError(SHR::error(value("errorMessage")));
}

void SHREvernote::sendFinished(bool success) {
    if (success) sendDidFinish();
    else sendDidFailWithError(SHR::error(localizedFormat("There was a problem sharing with Evernote")), false);
}
