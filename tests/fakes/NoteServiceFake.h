#pragma once
// A loopback stand-in for the note service: its user store ("/edam/user")
// and note stores ("/edam/note/<shard>") behind an HttpServer, answering
// through the Thrift processors generated from resources/edam.thrift, so
// the client under test meets real Thrift decoding. It records every call
// with its arguments; the behaviour is set through the public fields
// (under lock(), since the server answers on its own threads).
//
//   fakes::NoteServiceFake notes;
//   net::Services::pointAtLoopbackForTesting("Evernote", notes.port());
//   ... share ...
//   EXPECT_EQ(notes.createdNotes().at(0).note.title, "Day 3");
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "edam/edam_types.h"
#include "fakes/HttpServer.h"

namespace fakes {

class NoteServiceFake {
public:
    NoteServiceFake();
    ~NoteServiceFake();
    NoteServiceFake(const NoteServiceFake&) = delete;
    NoteServiceFake& operator=(const NoteServiceFake&) = delete;

    HttpServer& server() { return server_; }
    int port() const { return server_.port(); }
    std::unique_lock<std::mutex> lock() { return std::unique_lock<std::mutex>(mutex_); }

    // --- Behaviour.
    bool acceptVersion = true;
    std::string username = "anna";
    std::string password = "secret";
    std::string token = "S=s7:U=1f:E=12:C=34:P=1cd:A=tolvek:H=abc";
    const std::string shardId = "s7";        // fixed: the note store is served at its path
    bool answerWithoutUser = false;          // authenticate leaves the user out
    std::optional<int> createNoteErrorCode;  // createNote raises a user error with this code
    std::string createNoteErrorParameter = "Note.title";
    bool createNoteSystemError = false;     // createNote raises a system error
    std::vector<edam::Notebook> notebooks;  // listNotebooks answers these

    // --- Recorded calls.
    struct VersionCheck {
        std::string clientName;
        int16_t major = 0, minor = 0;
    };
    struct Authentication {
        std::string username, password, consumerKey, consumerSecret;
    };
    struct CreatedNote {
        std::string token;
        std::string path;  // the note store's path
        edam::Note note;
    };
    std::vector<VersionCheck> versionChecks();
    std::vector<Authentication> authentications();
    std::vector<std::string> notebookListTokens();
    std::vector<CreatedNote> createdNotes();
    // Whether any call arrived with a strict (versioned) message header.
    bool sawStrictHeader();
    // Every HTTP request that reached the fake.
    std::vector<RecordedRequest> requests() const { return server_.requests(); }

    struct Handlers;  // the Thrift service handlers

private:
    Reply answer(const RecordedRequest& request);

    HttpServer server_;
    std::mutex mutex_;
    std::vector<VersionCheck> versionChecks_;
    std::vector<Authentication> authentications_;
    std::vector<std::string> notebookListTokens_;
    std::vector<CreatedNote> createdNotes_;
    bool sawStrict_ = false;
    std::string currentPath_;  // the path of the call being answered (under mutex_)
    friend struct Handlers;
};

}  // namespace fakes
