#include "FuzzEntries.h"

#include <thrift/protocol/TBinaryProtocol.h>
#include <thrift/transport/TBufferTransports.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string_view>
#include <unistd.h>

#include "edam/NoteStore.h"
#include "edam/UserStore.h"
#include "platform/base/FileManager.h"
#include "platform/base/Log.h"
#include "platform/base/UTF8.h"
#include "platform/base/UserDefaults.h"
#include "platform/base/Value.h"
#include "platform/host/Script.h"
#include "platform/ui/WebView.h"
#include "sharing/facebook/FBRequest.h"
#include "sharing/json/VXJSON.h"

namespace fuzz {

namespace {

// Inputs larger than this are not what any parser here meets in one piece;
// they only slow the search down.
constexpr std::size_t kMostBytes = 1 << 20;

// A failed check of a property the parsers promise: the fuzzer reports it as
// a crash, with the input kept.
void require(bool condition, const char* what) {
    if (!condition) throw std::logic_error(what);
}

// The program's log says what was dropped or moved aside; the search would
// only be slowed by it.
void quietLog() {
    static const bool quiet = [] {
        base::setLogSinkForTesting([](const std::string&) {});
        return true;
    }();
    (void)quiet;
}

// A folder of our own for the settings target, made once per process.
const std::string& scratchFolder() {
    static const std::string folder = [] {
        // In memory where there is such a folder: every save syncs the file.
        std::error_code ec;
        const auto base = std::filesystem::is_directory("/dev/shm", ec) ? std::filesystem::path("/dev/shm")
                                                                        : std::filesystem::temp_directory_path();
        std::string tmpl = (base / "tolvek-fuzz-XXXXXX").string();
        if (!::mkdtemp(tmpl.data())) std::abort();
        return tmpl;
    }();
    return folder;
}

// Equal, a NaN real counting as equal to a NaN (Value's equality, as
// numbers', finds no NaN equal).
bool sameValue(const base::Value& a, const base::Value& b) {
    if (a.type() != b.type()) return false;
    if (a.type() == base::Value::Type::Real && std::isnan(a.doubleValue())) return std::isnan(b.doubleValue());
    if (const base::Array* list = a.asArray()) {
        const base::Array& other = *b.asArray();
        if (list->size() != other.size()) return false;
        for (std::size_t i = 0; i < list->size(); ++i)
            if (!sameValue((*list)[i], other[i])) return false;
        return true;
    }
    if (const base::Dictionary* dict = a.asDictionary()) {
        const base::Dictionary& other = *b.asDictionary();
        if (dict->size() != other.size()) return false;
        for (const auto& [key, item] : *dict)
            if (!other.contains(key) || !sameValue(item, other.get(key))) return false;
        return true;
    }
    return a == b;
}

}  // namespace

int plistReader(const std::uint8_t* data, std::size_t size) {
    if (size > kMostBytes) return 0;
    quietLog();
    const base::Data bytes(data, data + size);
    auto value = base::Value::fromPlist(bytes);
    if (!value) return 0;
    // What was read can be written in both forms and reads back; written
    // in binary and read again it is the same value.
    std::string why;
    if (auto binary = value->toBinaryPlist(&why)) {
        auto again = base::Value::fromPlist(*binary);
        require(again.has_value(), "a binary property list written from a read value cannot be read back");
        auto rewritten = again->toBinaryPlist(&why);
        auto twice = rewritten ? base::Value::fromPlist(*rewritten) : std::nullopt;
        require(twice && sameValue(*again, *twice), "a binary property list reads back different");
    }
    if (auto xml = value->toXMLPlist(&why)) {
        auto again = base::Value::fromPlist(base::Data(xml->begin(), xml->end()));
        require(again.has_value(), "an XML property list written from a read value cannot be read back");
    }
    return 0;
}

int settingsFile(const std::uint8_t* data, std::size_t size) {
    if (size > kMostBytes) return 0;
    quietLog();
    const std::string folder = scratchFolder();
    const std::string path = folder + "/defaults.plist";
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(folder, ec)) std::filesystem::remove_all(entry, ec);
    auto& files = base::FileManager::defaultManager();
    if (!files.writeAtomically(path, base::Data(data, data + size))) std::abort();
    {
        // Load; an unreadable file is moved aside and the settings start
        // empty. Then a change is saved.
        base::UserDefaults defaults(path);
        defaults.setInteger("Tolvek_Level", 2);
        require(defaults.synchronize(), "settings could not be saved");
    }
    // Whatever the file was, the saved settings read back with the change.
    base::UserDefaults again(path);
    require(again.movedAsideTo().empty(), "saved settings were unreadable");
    require(again.integerForKey("Tolvek_Level") == 2, "a saved setting was lost");
    return 0;
}

int htmlPage(const std::uint8_t* data, std::size_t size) {
    if (size > kMostBytes) return 0;
    const std::string html(reinterpret_cast<const char*>(data), size);
    auto page = ui::WebPage::parse(html, "http://127.0.0.1/login/form.php");
    // What is drawn, posted or followed is valid UTF-8 without NUL.
    const auto clean = [](const std::string& s) { return base::isValidUTF8(s) && s.find('\0') == std::string::npos; };
    require(clean(page.title) && clean(page.text()), "page text is not valid UTF-8 without NUL");
    for (const auto& link : page.links) require(clean(link.href), "a link is not valid UTF-8 without NUL");
    for (const auto& form : page.forms) {
        require(clean(form.action), "a form action is not valid UTF-8 without NUL");
        for (const auto& in : form.inputs) require(clean(in.name) && clean(in.value), "a field is not clean UTF-8");
    }
    return 0;
}

int jsonText(const std::uint8_t* data, std::size_t size) {
    if (size > kMostBytes) return 0;
    quietLog();
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    VXJSON json;
    auto value = json.objectWithString(text);
    if (!value) return 0;
    // What was read is written again and reads back.
    if (auto written = json.stringWithObject(*value)) {
        auto again = json.objectWithString(std::string_view(*written));
        require(again.has_value(), "written JSON does not read back");
    }
    return 0;
}

int facebookAnswer(const std::uint8_t* data, std::size_t size) {
    if (size > kMostBytes) return 0;
    quietLog();
    static auto request = FBRequest::getRequestWithParams({}, "GET", {}, "http://127.0.0.1/method/me");
    std::optional<net::Error> error;
    auto result = request->parseJsonResponse(base::Data(data, data + size), &error);
    if (result) (void)FBValueFromJson(*result);
    return 0;
}

int thriftAnswer(const std::uint8_t* data, std::size_t size) {
    if (size < 1 || size > kMostBytes) return 0;
    using apache::thrift::protocol::TBinaryProtocol;
    using apache::thrift::transport::TMemoryBuffer;
    // The first byte picks the call whose answer the rest is.
    const int call = data[0] % 4;
    auto input = std::make_shared<TMemoryBuffer>(const_cast<std::uint8_t*>(data + 1), static_cast<uint32_t>(size - 1));
    auto output = std::make_shared<TMemoryBuffer>();
    // The sharer's bounds on one answer.
    auto in = std::make_shared<TBinaryProtocol>(input, 64 * 1024 * 1024, 100000, false, false);
    auto out = std::make_shared<TBinaryProtocol>(output);
    try {
        if (call < 2) {
            edam::UserStoreClient client(in, out);
            if (call == 0) {
                (void)client.recv_checkVersion();
            } else {
                edam::AuthenticationResult result;
                client.recv_authenticate(result);
            }
        } else {
            edam::NoteStoreClient client(in, out);
            if (call == 2) {
                std::vector<edam::Notebook> notebooks;
                client.recv_listNotebooks(notebooks);
            } else {
                edam::Note note;
                client.recv_createNote(note);
            }
        }
    } catch (const std::exception&) {
        // The sharer takes every failure of a call as an error it shows.
    }
    return 0;
}

int headlessScript(const std::uint8_t* data, std::size_t size) {
    if (size > kMostBytes) return 0;
    host::ScriptError error;
    (void)host::parseScript(std::string(reinterpret_cast<const char*>(data), size), &error);
    return 0;
}

const std::vector<Target>& targets() {
    static const std::vector<Target> all{
        {"plist", plistReader},       {"settings", settingsFile}, {"html", htmlPage},         {"json", jsonText},
        {"facebook", facebookAnswer}, {"thrift", thriftAnswer},   {"script", headlessScript},
    };
    return all;
}

}  // namespace fuzz
