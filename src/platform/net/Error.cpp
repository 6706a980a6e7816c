#include "platform/net/Error.h"

namespace net {

std::string Error::description() const {
    return "Error Domain=" + domain_ + " Code=" + std::to_string(code_) + " \"" + description_ + "\"";
}

}  // namespace net
