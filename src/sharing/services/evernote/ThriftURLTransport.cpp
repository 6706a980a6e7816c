#include "sharing/services/evernote/ThriftURLTransport.h"

#include <algorithm>
#include <cstring>

#include <thrift/transport/TTransportException.h>

#include "platform/base/Format.h"
#include "platform/net/URLConnection.h"

using apache::thrift::transport::TTransportException;

ThriftURLTransport::ThriftURLTransport(net::URL url, double timeout) : url_(std::move(url)), timeout_(timeout) {}

uint32_t ThriftURLTransport::read(uint8_t* buf, uint32_t len) {
    const std::size_t left = in_.size() - inPos_;
    const uint32_t n = static_cast<uint32_t>(std::min<std::size_t>(left, len));
    if (n > 0) {
        std::memcpy(buf, in_.data() + inPos_, n);
        inPos_ += n;
    }
    return n;
}

void ThriftURLTransport::write(const uint8_t* buf, uint32_t len) { out_.insert(out_.end(), buf, buf + len); }

void ThriftURLTransport::flush() {
    net::URLRequest request(url_, net::CachePolicy::ReloadIgnoringLocalAndRemoteCacheData, timeout_);
    request.setHTTPMethod("POST");
    request.setValue("application/x-thrift", "Content-Type");
    request.setValue("application/x-thrift", "Accept");
    request.setHTTPShouldHandleCookies(false);
    request.setHTTPBody(std::move(out_));
    out_.clear();
    in_.clear();
    inPos_ = 0;

    net::SynchronousResult result = net::URLConnection::sendSynchronousRequest(request);
    if (result.error) throw TTransportException(TTransportException::NOT_OPEN, result.error->localizedDescription());
    const long status = result.response ? result.response->statusCode() : 0;
    if (status != 200) throw TTransportException(TTransportException::UNKNOWN, base::format("HTTP status %li", status));
    in_ = std::move(result.data);
    resetConsumedMessageSize();
}
