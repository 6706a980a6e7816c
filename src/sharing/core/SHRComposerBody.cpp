#include "sharing/core/SHRComposerBody.h"

#include "platform/net/PercentEncoding.h"
#include "sharing/core/SHRFunctions.h"

std::string SHREscapeHTML(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        default: out += c;
        }
    }
    return out;
}

std::string SHRComposerBody(SHRItem& item, SHRBodyStyle style, bool withAttachmentLine) {
    if (const std::string* stored = item.customValueForKey("body").asString()) return *stored;
    const bool html = style == SHRBodyStyle::HTML;
    auto part = [html](const std::string& text) { return html ? SHREscapeHTML(text) : text; };
    const std::string separator = html ? "<br/><br/>" : "\n\n";
    std::string body = item.text() ? part(*item.text()) : "";
    auto append = [&](const std::string& text) {
        if (!body.empty()) body += separator;
        body += text;
    };
    if (item.URL()) {
        const std::string url = item.URL()->absoluteString();
        append(part(net::replacingPercentEscapes(url).value_or(url)));
    }
    if (withAttachmentLine && item.data()) {
        const std::string name = item.title() ? *item.title() : item.filename().value_or("");
        append(part(localizedFormat("Attached: %@", name)));
    }
    item.setCustomValue(body, "body");
    return body;
}
