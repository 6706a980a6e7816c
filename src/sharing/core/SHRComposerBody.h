#pragma once
// The body of a composed message (mail or text message), kept in the item
// as its custom value "body" so that a second attempt reuses it.
#include <string>

#include "sharing/core/SHRItem.h"

enum class SHRBodyStyle { HTML, PlainText };

// HTML escapes "&", "<" and ">" of the texts it puts in and joins the parts
// with "<br/><br/>"; plain text joins them with blank lines. The
// attachment line is for mail only (withAttachmentLine).
std::string SHRComposerBody(SHRItem& item, SHRBodyStyle style, bool withAttachmentLine);
std::string SHREscapeHTML(const std::string& text);
