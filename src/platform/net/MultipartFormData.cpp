#include "platform/net/MultipartFormData.h"

#include <utility>

namespace net {
namespace {

void append(base::Data& out, std::string_view text) { out.insert(out.end(), text.begin(), text.end()); }

}  // namespace

MultipartFormData::MultipartFormData(std::string boundary, Start start, End end)
    : boundary_(std::move(boundary)), start_(start), end_(end) {}

std::string MultipartFormData::contentTypeFor(std::string_view boundary) {
    return "multipart/form-data; boundary=" + std::string(boundary);
}

// Every delimiter but a first one at the very start of the body is preceded
// by CR LF, which belongs to the delimiter and not to the part before it.
void MultipartFormData::appendDelimiter(base::Data& out, bool close) const {
    if (parts_ > 0 || start_ == Start::WithLineBreak) append(out, "\r\n");
    append(out, "--");
    append(out, boundary_);
    append(out, close ? "--\r\n" : "\r\n");
}

void MultipartFormData::beginPart(const std::vector<std::string>& headers) {
    appendDelimiter(data_, false);
    for (const auto& header : headers) {
        append(data_, header);
        append(data_, "\r\n");
    }
    append(data_, "\r\n");
    ++parts_;
}

void MultipartFormData::addPart(const std::vector<std::string>& headers, const base::Data& content) {
    beginPart(headers);
    data_.insert(data_.end(), content.begin(), content.end());
}

void MultipartFormData::addPart(const std::vector<std::string>& headers, std::string_view content) {
    beginPart(headers);
    append(data_, content);
}

void MultipartFormData::addField(std::string_view name, std::string_view value) {
    std::string disposition = "Content-Disposition: form-data; name=\"";
    disposition += name;
    disposition += '"';
    addPart({disposition}, value);
}

base::Data MultipartFormData::body() const {
    base::Data out = data_;
    appendDelimiter(out, end_ == End::CloseDelimiter);
    return out;
}

}  // namespace net
