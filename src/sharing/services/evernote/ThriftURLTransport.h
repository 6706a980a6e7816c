#pragma once
// A Thrift client transport over HTTP that goes through the platform's URL
// loading (its TLS checks, proxy settings and loopback-only rule apply):
// written bytes are collected until flush(), which POSTs them with the
// content type and accept "application/x-thrift" and waits for the answer;
// reads then take the answer's body. Any status but 200, or a failed
// connection, raises a TTransportException. For worker threads only.
#include <string>

#include <thrift/transport/TVirtualTransport.h>

#include "platform/base/Value.h"
#include "platform/net/URL.h"

class ThriftURLTransport : public apache::thrift::transport::TVirtualTransport<ThriftURLTransport> {
public:
    // Each call waits at most this long, so the four calls of one share fit
    // in the offline replay's wait.
    static constexpr double CallTimeout = 25.0;

    explicit ThriftURLTransport(net::URL url, double timeout = CallTimeout);

    bool isOpen() const override { return true; }
    void open() override {}
    void close() override {}

    uint32_t read(uint8_t* buf, uint32_t len);
    void write(const uint8_t* buf, uint32_t len);
    void flush() override;

    const net::URL& url() const { return url_; }

private:
    net::URL url_;
    double timeout_;
    base::Data out_;
    base::Data in_;
    std::size_t inPos_ = 0;
};
