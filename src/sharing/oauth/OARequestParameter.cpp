#include "sharing/oauth/OARequestParameter.h"

#include "sharing/oauth/OAEncoding.h"

std::string OARequestParameter::URLEncodedName() const { return URLEncodedString(name_); }

std::string OARequestParameter::URLEncodedValue() const { return URLEncodedString(value_); }

std::string OARequestParameter::URLEncodedNameValuePair() const { return URLEncodedName() + "=" + URLEncodedValue(); }
