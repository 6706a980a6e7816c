#pragma once
// A "multipart/form-data" request body: parts separated by delimiter lines of a
// boundary, each part its header lines, an empty line and its bytes. Where
// the body starts and how it ends are chosen by the caller, so every service
// gets byte for byte the body it has always been sent.
#include <string>
#include <string_view>
#include <vector>

#include "platform/base/Value.h"

namespace net {

class MultipartFormData {
public:
    // AtDelimiter: the body begins with "--boundary" CR LF. WithLineBreak:
    // with CR LF "--boundary" CR LF, the same delimiter that separates parts.
    enum class Start { AtDelimiter, WithLineBreak };
    // CloseDelimiter: the last part is followed by CR LF "--boundary--" CR LF.
    // Separator: by CR LF "--boundary" CR LF, as if a part were to follow.
    enum class End { CloseDelimiter, Separator };

    explicit MultipartFormData(std::string boundary, Start start = Start::AtDelimiter, End end = End::CloseDelimiter);

    const std::string& boundary() const { return boundary_; }
    // The request's "Content-Type": "multipart/form-data; boundary=" and the
    // boundary.
    std::string contentType() const { return contentTypeFor(boundary_); }
    static std::string contentTypeFor(std::string_view boundary);

    // A part of the given header lines (each without its CR LF) and bytes.
    void addPart(const std::vector<std::string>& headers, const base::Data& content);
    void addPart(const std::vector<std::string>& headers, std::string_view content);
    // A text field: "Content-Disposition: form-data; name=" with the name in
    // double quotes, then the value's bytes.
    void addField(std::string_view name, std::string_view value);

    // The body: every part added so far and the chosen end.
    base::Data body() const;

private:
    void beginPart(const std::vector<std::string>& headers);
    void appendDelimiter(base::Data& out, bool close) const;

    std::string boundary_;
    Start start_;
    End end_;
    base::Data data_;
    std::size_t parts_ = 0;
};

}  // namespace net
