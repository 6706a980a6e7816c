#pragma once
// libcurl is opened when something is first sent over the network, not when
// the program starts: a start that sends nothing never maps it, nor the
// two dozen TLS, Kerberos, LDAP and compression libraries it brings.
//
// The libcurl functions the net layer calls are defined in CurlLibrary.cpp
// and forward to the library opened here; nothing links libcurl itself.
// Call loadCurl before the first libcurl function.
#include <string>

namespace net {

// Opens libcurl and looks up every function the net layer uses, once; later
// calls answer the first result. Answers false and says why when libcurl is
// not installed or lacks one of them.
bool loadCurl(std::string* why = nullptr);

}  // namespace net
