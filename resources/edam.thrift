// The part of the note service's interface that the note sharer uses:
// version check and login on the user store, the notebook list and note
// creation on the user's note store. Field ids and names follow the
// service's published wire format (interface version 1.16), so only the
// fields used here are declared; the binary protocol skips the others.

namespace cpp edam

const i16 EDAM_VERSION_MAJOR = 1
const i16 EDAM_VERSION_MINOR = 16

enum EDAMErrorCode {
  UNKNOWN = 1,
  BAD_DATA_FORMAT = 2,
  PERMISSION_DENIED = 3,
  INTERNAL_ERROR = 4,
  DATA_REQUIRED = 5,
  LIMIT_REACHED = 6,
  QUOTA_REACHED = 7,
  INVALID_AUTH = 8,
  AUTH_EXPIRED = 9,
  DATA_CONFLICT = 10,
  ENML_VALIDATION = 11,
  SHARD_UNAVAILABLE = 12
}

exception EDAMUserException {
  1: required EDAMErrorCode errorCode,
  2: optional string parameter
}

exception EDAMSystemException {
  1: required EDAMErrorCode errorCode,
  2: optional string message
}

exception EDAMNotFoundException {
  1: optional string identifier,
  2: optional string key
}

struct Data {
  1: optional binary bodyHash,
  2: optional i32 size,
  3: optional binary body
}

struct User {
  1: optional i32 id,
  2: optional string username,
  14: optional string shardId
}

struct ResourceAttributes {
  1: optional string sourceURL,
  10: optional string fileName
}

struct Resource {
  1: optional string guid,
  2: optional string noteGuid,
  3: optional Data data,
  4: optional string mime,
  5: optional i16 width,
  6: optional i16 height,
  9: optional Data recognition,
  11: optional ResourceAttributes attributes
}

struct NoteAttributes {
  15: optional string sourceURL
}

struct Note {
  1: optional string guid,
  2: optional string title,
  3: optional string content,
  6: optional i64 created,
  11: optional string notebookGuid,
  13: optional list<Resource> resources,
  14: optional NoteAttributes attributes,
  15: optional list<string> tagNames
}

struct Notebook {
  1: optional string guid,
  2: optional string name,
  6: optional bool defaultNotebook
}

struct AuthenticationResult {
  1: required i64 currentTime,
  2: optional string authenticationToken,
  3: required i64 expiration,
  4: optional User user
}

service UserStore {
  bool checkVersion(1: string clientName,
                    2: i16 edamVersionMajor = EDAM_VERSION_MAJOR,
                    3: i16 edamVersionMinor = EDAM_VERSION_MINOR),

  AuthenticationResult authenticate(1: string username,
                                    2: string password,
                                    3: string consumerKey,
                                    4: string consumerSecret)
    throws (1: EDAMUserException userException,
            2: EDAMSystemException systemException)
}

service NoteStore {
  list<Notebook> listNotebooks(1: string authenticationToken)
    throws (1: EDAMUserException userException,
            2: EDAMSystemException systemException),

  Note createNote(1: string authenticationToken,
                  2: Note note)
    throws (1: EDAMUserException userException,
            2: EDAMSystemException systemException,
            3: EDAMNotFoundException notFoundException)
}
