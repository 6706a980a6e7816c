// Prints the page model of each page it is given as one JSON line, for the
// differential test that checks the page reader against an independent HTML
// parser (webpage_differential.py).
//
// Standard input holds records, each a line "<kind> <length>" and that many
// bytes: "page" (a page, read against the base address given as the first
// argument) or "resolve" (an address, answered as WebPage::resolve makes it
// against that base, so the script can compare the addresses a page writes).
// Each page is read twice, at once and in slices of a few bytes, and the
// line says whether both readings agree.
#include <cstdio>
#include <iostream>
#include <string>

#include "platform/ui/WebPage.h"

namespace {

std::string quoted(const std::string& s) {
    std::string out = "\"";
    for (char c : s) {
        const auto u = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (u < 0x20) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04x", u);
            out += escape;
        } else {
            out += c;
        }
    }
    return out + "\"";
}

std::string boolean(bool b) { return b ? "true" : "false"; }

template <typename T, typename F>
std::string list(const T& items, F each) {
    std::string out = "[";
    for (const auto& item : items) {
        if (out.size() > 1) out += ",";
        out += each(item);
    }
    return out + "]";
}

std::string control(const ui::WebPage::Input& in) {
    return "{\"element\":" + quoted(in.element) + ",\"type\":" + quoted(in.type) + ",\"name\":" + quoted(in.name) +
           ",\"value\":" + quoted(in.value) + ",\"id\":" + quoted(in.id) +
           ",\"placeholder\":" + quoted(in.placeholder) + ",\"checked\":" + boolean(in.checked) +
           ",\"disabled\":" + boolean(in.disabled) + ",\"multiple\":" + boolean(in.multiple) +
           ",\"label\":" + quoted(in.label) + ",\"options\":" +
           list(in.options,
                [](const ui::WebPage::Option& o) {
                    return "{\"value\":" + quoted(o.value) + ",\"label\":" + quoted(o.label) +
                           ",\"selected\":" + boolean(o.selected) + ",\"disabled\":" + boolean(o.disabled) + "}";
                }) +
           "}";
}

std::string model(const ui::WebPage& page) {
    std::string ids = "[";
    for (const auto& [id, where] : page.elementsById) ids += (ids.size() > 1 ? "," : "") + quoted(id);
    ids += "]";
    return "{\"title\":" + quoted(page.title) + ",\"text\":" + quoted(page.text()) +
           ",\"links\":" + list(page.links, [](const ui::WebPage::Link& l) { return quoted(l.href); }) + ",\"forms\":" +
           list(page.forms,
                [](const ui::WebPage::Form& f) {
                    return "{\"action\":" + quoted(f.action) + ",\"method\":" + quoted(f.method) +
                           ",\"inputs\":" + list(f.inputs, control) + "}";
                }) +
           ",\"ids\":" + ids + "}";
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "Usage: webpage_model BASE_URL < records\n";
        return 2;
    }
    const std::string base = argv[1];
    std::ios::sync_with_stdio(false);
    std::string header;
    std::size_t count = 0;
    while (std::getline(std::cin, header)) {
        const auto space = header.find(' ');
        if (space == std::string::npos) {
            std::cerr << "webpage_model: a record must start with \"<kind> <length>\"\n";
            return 2;
        }
        const std::string kind = header.substr(0, space);
        const std::size_t length = std::stoul(header.substr(space + 1));
        std::string body(length, '\0');
        if (!std::cin.read(body.data(), static_cast<std::streamsize>(length))) {
            std::cerr << "webpage_model: record " << count << " is cut short\n";
            return 2;
        }
        ++count;
        if (kind == "resolve") {
            std::cout << "{\"resolved\":" << quoted(ui::WebPage::resolve(body, base)) << "}\n";
        } else if (kind == "page") {
            const std::string whole = model(ui::WebPage::parse(body, base));
            // Slices of 1 to 7 bytes, so that every state of the reader is
            // left and taken up again somewhere.
            ui::WebPageReader reader(body, base);
            std::size_t slice = 1;
            while (!reader.read(slice)) slice = slice % 7 + 1;
            const std::string sliced = model(reader.take());
            std::cout << "{\"model\":" << whole << ",\"sliced_same\":" << boolean(whole == sliced) << "}\n";
        } else {
            std::cerr << "webpage_model: unknown record kind " << kind << "\n";
            return 2;
        }
    }
    return 0;
}
