#pragma once
// Plain helpers of the sharing framework: localized, formatted texts and the
// escaping of form bodies and URLs.
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "platform/base/Bundle.h"
#include "platform/base/Format.h"

// Looks key up in the main bundle's default strings table (the key itself
// serves when there is no translation) and formats the result with args.
// Every user-visible text of the sharing framework passes through here.
template <class... Args>
std::string localizedFormat(std::string_view key, const Args&... args) {
    const std::string text = base::Bundle::mainBundle().localizedString(std::string(key));
    const base::FormatArg list[] = {base::FormatArg(args)..., base::FormatArg(0)};
    return base::formatArgs(text, std::span<const base::FormatArg>(list, sizeof...(Args)));
}

// Text for a form-encoded body: "&amp;" is first turned back into "&", then
// every byte of the UTF-8 text but A-Z, a-z, 0-9 and "-._~" is written as
// %XX, so "+", "=", "&", "#" and "?" arrive as typed. None gives "".
std::string encodeParameter(const std::optional<std::string>& text);

// A URL made safe to stand inside another URL (a query value): every byte
// but A-Z, a-z, 0-9 and "-._~" is percent-escaped. None gives "".
std::string encodeURLString(const std::optional<std::string>& url);

// The text, or "" when there is none.
std::string stringOrEmpty(const std::optional<std::string>& text);
