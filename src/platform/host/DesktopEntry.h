#pragma once
// What the desktop knows of the program: whether an installed desktop entry
// makes it the handler of a URL scheme, so that a browser can hand it a URL
// of that scheme (by starting "tolvek URL").
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace host {

// The folders desktop entries are installed in, most important first:
// $XDG_DATA_HOME/applications (~/.local/share/applications), then the
// applications folder of each of $XDG_DATA_DIRS (/usr/local/share:/usr/share).
std::vector<std::string> applicationFolders();

// The keys of the [Desktop Entry] group of a desktop entry's text (other
// groups, comments and malformed lines are left out).
std::map<std::string, std::string> desktopEntryKeys(const std::string& text);

// Whether an entry (its [Desktop Entry] keys) hands URLs of the scheme to a
// program that is there: it declares x-scheme-handler/SCHEME in MimeType,
// is not hidden, passes the URL (%u or %U in Exec) and its Exec program
// exists and can be run.
bool handlesURLScheme(const std::map<std::string, std::string>& entry, const std::string& scheme);

// Whether some desktop entry in applicationFolders() handles the scheme.
bool isURLSchemeHandlerInstalled(const std::string& scheme);

}  // namespace host
