// What a form's controls hold and what the form sends, as HTML's form
// submission builds it: the controls' states as the page left them, the
// entry list, the default button and implicit submission.
#include <algorithm>
#include <array>
#include <string_view>
#include <unordered_map>

#include "platform/ui/WebPage.h"

namespace ui {

namespace {

// The input types whose fields keep Return for implicit submission.
constexpr std::array<std::string_view, 12> kBlockingTypes = {
    "text", "search", "url", "tel", "email", "password", "date", "month", "week", "time", "datetime-local", "number"};

// The input types a browser knows besides those; any other reads as "text".
constexpr std::array<std::string_view, 10> kOtherTypes = {"hidden", "checkbox", "radio", "submit", "reset",
                                                          "button", "image",    "file",  "color",  "range"};

template <std::size_t N>
bool isOneOf(const std::string& type, const std::array<std::string_view, N>& types) {
    return std::find(types.begin(), types.end(), type) != types.end();
}

bool isRadio(const WebPage::Input& in) { return in.element == "input" && in.type == "radio"; }

// A single-line field's value never holds a line break (HTML's value
// sanitization); an e-mail or URL field's none of the blanks around it.
std::string sanitizedValue(const WebPage::Input& in) {
    if (!in.blocksImplicitSubmission()) return in.value;
    std::string value;
    for (char c : in.value)
        if (c != '\n' && c != '\r') value += c;
    if (in.type == "email" || in.type == "url") {
        const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\f'; };
        while (!value.empty() && blank(value.back())) value.pop_back();
        value.erase(value.begin(), std::find_if_not(value.begin(), value.end(), blank));
    }
    return value;
}

}  // namespace

bool WebPage::Input::isVisible() const {
    // A file input needs a file chooser and an image button its picture;
    // neither is shown here (an image button still submits implicitly).
    return type != "hidden" && type != "file" && type != "image";
}

bool WebPage::Input::isButton() const {
    return type == "submit" || type == "reset" || type == "button" || type == "image";
}

bool WebPage::Input::blocksImplicitSubmission() const {
    if (element != "input") return false;
    return isOneOf(type, kBlockingTypes) || !isOneOf(type, kOtherTypes);
}

std::vector<WebPage::ControlState> WebPage::Form::initialState() const {
    std::vector<ControlState> states(inputs.size());
    for (std::size_t i = 0; i < inputs.size(); ++i) {
        const Input& in = inputs[i];
        ControlState& state = states[i];
        if (in.isSelect()) {
            state.selected.resize(in.options.size());
            for (std::size_t k = 0; k < in.options.size(); ++k) state.selected[k] = in.options[k].selected;
            if (!in.multiple) {
                // One choice: the last the page selected, else its first
                // enabled option.
                const auto last = std::find(state.selected.rbegin(), state.selected.rend(), true);
                std::fill(state.selected.begin(), state.selected.end(), false);
                if (last != state.selected.rend()) {
                    *last = true;
                } else {
                    const auto first =
                        std::find_if(in.options.begin(), in.options.end(), [](const Option& o) { return !o.disabled; });
                    if (first != in.options.end())
                        state.selected[static_cast<std::size_t>(first - in.options.begin())] = true;
                }
            }
            continue;
        }
        state.value = sanitizedValue(in);
        state.checked = in.isCheckable() && in.checked;
    }
    // A radio button checked later in its group unchecks the earlier ones
    // (in one pass: a page may hold very many).
    std::unordered_map<std::string_view, std::size_t> lastChecked;
    for (std::size_t i = 0; i < inputs.size(); ++i)
        if (isRadio(inputs[i]) && states[i].checked && !inputs[i].name.empty()) lastChecked[inputs[i].name] = i;
    for (std::size_t i = 0; i < inputs.size(); ++i)
        if (isRadio(inputs[i]) && states[i].checked && !inputs[i].name.empty())
            states[i].checked = lastChecked[inputs[i].name] == i;
    return states;
}

std::vector<std::pair<std::string, std::string>> WebPage::Form::entryList(const std::vector<ControlState>& states,
                                                                          std::optional<std::size_t> submitter) const {
    std::vector<std::pair<std::string, std::string>> entries;
    // Controls without a state of their own count as the page left them.
    std::vector<ControlState> initial;
    if (states.size() < inputs.size()) initial = initialState();
    for (std::size_t i = 0; i < inputs.size(); ++i) {
        const Input& in = inputs[i];
        const ControlState& state = i < states.size() ? states[i] : initial[i];
        if (in.disabled) continue;
        if (in.isButton()) {
            // Only the button that submits, and only a submit button.
            if (submitter != i || !in.isSubmit()) continue;
            if (in.type == "image") {
                // Where the picture was pressed; no picture is shown here.
                const std::string prefix = in.name.empty() ? "" : in.name + ".";
                entries.emplace_back(prefix + "x", "0");
                entries.emplace_back(prefix + "y", "0");
                continue;
            }
        }
        if (in.name.empty()) continue;
        if (in.isSelect()) {
            for (std::size_t k = 0; k < in.options.size(); ++k)
                if (k < state.selected.size() && state.selected[k] && !in.options[k].disabled)
                    entries.emplace_back(in.name, in.options[k].value);
        } else if (in.isCheckable()) {
            if (state.checked) entries.emplace_back(in.name, in.value.empty() ? "on" : in.value);
        } else if (in.isButton() || in.type == "hidden") {
            entries.emplace_back(in.name, in.value);
        } else if (in.element == "input" && in.type == "file") {
            entries.emplace_back(in.name, "");  // no file chosen
        } else {
            entries.emplace_back(in.name, state.value);
        }
    }
    return entries;
}

std::optional<std::size_t> WebPage::Form::defaultButton() const {
    const auto button = std::find_if(inputs.begin(), inputs.end(), [](const Input& in) { return in.isSubmit(); });
    if (button == inputs.end()) return std::nullopt;
    return static_cast<std::size_t>(button - inputs.begin());
}

bool WebPage::Form::allowsImplicitSubmission() const {
    if (const auto button = defaultButton()) return !inputs[*button].disabled;
    return std::count_if(inputs.begin(), inputs.end(), [](const Input& in) { return in.blocksImplicitSubmission(); }) <=
           1;
}

void WebPage::Form::checkRadio(std::vector<ControlState>& states, std::size_t index) const {
    if (index >= inputs.size() || index >= states.size() || !isRadio(inputs[index])) return;
    states[index].checked = true;
    const std::string& name = inputs[index].name;
    if (name.empty()) return;  // a group of its own
    for (std::size_t j = 0; j < inputs.size() && j < states.size(); ++j)
        if (j != index && isRadio(inputs[j]) && inputs[j].name == name) states[j].checked = false;
}

}  // namespace ui
