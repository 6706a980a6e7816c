#include "fakes/NoteServiceFake.h"

#include <thrift/protocol/TBinaryProtocol.h>
#include <thrift/transport/TBufferTransports.h>

#include "edam/NoteStore.h"
#include "edam/UserStore.h"

using apache::thrift::protocol::TBinaryProtocol;
using apache::thrift::transport::TMemoryBuffer;

namespace fakes {

struct NoteServiceFake::Handlers : public edam::UserStoreIf, public edam::NoteStoreIf {
    explicit Handlers(NoteServiceFake& fake) : fake(fake) {}
    NoteServiceFake& fake;

    // Called with fake.mutex_ held (answer() holds it for the whole call).
    bool checkVersion(const std::string& clientName, const int16_t major, const int16_t minor) override {
        fake.versionChecks_.push_back({clientName, major, minor});
        return fake.acceptVersion && major == 1 && minor >= 16;
    }

    void authenticate(edam::AuthenticationResult& result, const std::string& username, const std::string& password,
                      const std::string& consumerKey, const std::string& consumerSecret) override {
        fake.authentications_.push_back({username, password, consumerKey, consumerSecret});
        if (username != fake.username || password != fake.password) {
            edam::EDAMUserException e;
            e.errorCode = edam::EDAMErrorCode::INVALID_AUTH;
            e.__set_parameter(username == fake.username ? "password" : "username");
            throw e;
        }
        result.currentTime = 1000;
        result.expiration = 2000;
        result.__set_authenticationToken(fake.token);
        if (!fake.answerWithoutUser) {
            edam::User user;
            user.__set_id(31);
            user.__set_username(username);
            user.__set_shardId(fake.shardId);
            result.__set_user(user);
        }
    }

    void requireToken(const std::string& token) {
        if (token == fake.token) return;
        edam::EDAMUserException e;
        e.errorCode = edam::EDAMErrorCode::AUTH_EXPIRED;
        e.__set_parameter("authenticationToken");
        throw e;
    }

    void listNotebooks(std::vector<edam::Notebook>& result, const std::string& token) override {
        fake.notebookListTokens_.push_back(token);
        requireToken(token);
        result = fake.notebooks;
    }

    void createNote(edam::Note& result, const std::string& token, const edam::Note& note) override {
        fake.createdNotes_.push_back({token, fake.currentPath_, note});
        requireToken(token);
        if (fake.createNoteErrorCode) {
            edam::EDAMUserException e;
            e.errorCode = static_cast<edam::EDAMErrorCode::type>(*fake.createNoteErrorCode);
            e.__set_parameter(fake.createNoteErrorParameter);
            throw e;
        }
        if (fake.createNoteSystemError) {
            edam::EDAMSystemException e;
            e.errorCode = edam::EDAMErrorCode::SHARD_UNAVAILABLE;
            e.__set_message("the shard is resting");
            throw e;
        }
        result = note;
        result.__set_guid("note-guid-1");
        result.__set_content("");  // the service answers without the content
    }
};

NoteServiceFake::NoteServiceFake() {
    auto handler = [this](const RecordedRequest& request) { return answer(request); };
    server_.on("POST", "/edam/user", handler);
    server_.on("POST", "/edam/note/" + shardId, handler);
}

NoteServiceFake::~NoteServiceFake() { server_.stop(); }

Reply NoteServiceFake::answer(const RecordedRequest& request) {
    if (request.header("Content-Type") != "application/x-thrift") return Reply::text(415, "Thrift bodies only");
    std::lock_guard guard(mutex_);
    if (request.body.size() >= 4 && (static_cast<unsigned char>(request.body[0]) & 0x80)) sawStrict_ = true;
    currentPath_ = request.path;
    auto handlers = std::make_shared<Handlers>(*this);
    std::unique_ptr<apache::thrift::TProcessor> processor;
    if (request.path == "/edam/user") processor = std::make_unique<edam::UserStoreProcessor>(handlers);
    else processor = std::make_unique<edam::NoteStoreProcessor>(handlers);
    auto in = std::make_shared<TMemoryBuffer>(reinterpret_cast<uint8_t*>(const_cast<char*>(request.body.data())),
                                              static_cast<uint32_t>(request.body.size()), TMemoryBuffer::COPY);
    auto out = std::make_shared<TMemoryBuffer>();
    // Accepts both header forms; answers with the strict one.
    auto inProtocol = std::make_shared<TBinaryProtocol>(in);
    auto outProtocol = std::make_shared<TBinaryProtocol>(out);
    try {
        processor->process(inProtocol, outProtocol, nullptr);
    } catch (const std::exception& e) {
        return Reply::text(400, std::string("undecodable call: ") + e.what());
    }
    return Reply::text(200, out->getBufferAsString(), "application/x-thrift");
}

std::vector<NoteServiceFake::VersionCheck> NoteServiceFake::versionChecks() {
    std::lock_guard guard(mutex_);
    return versionChecks_;
}

std::vector<NoteServiceFake::Authentication> NoteServiceFake::authentications() {
    std::lock_guard guard(mutex_);
    return authentications_;
}

std::vector<std::string> NoteServiceFake::notebookListTokens() {
    std::lock_guard guard(mutex_);
    return notebookListTokens_;
}

std::vector<NoteServiceFake::CreatedNote> NoteServiceFake::createdNotes() {
    std::lock_guard guard(mutex_);
    return createdNotes_;
}

bool NoteServiceFake::sawStrictHeader() {
    std::lock_guard guard(mutex_);
    return sawStrict_;
}

}  // namespace fakes
