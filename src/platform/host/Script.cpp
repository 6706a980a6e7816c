#include "platform/host/Script.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <sstream>

#include "platform/base/FileManager.h"
#include "platform/base/Strings.h"
#include "platform/host/HeadlessDriver.h"
#include "platform/ui/Application.h"

namespace host {

namespace {

using Kind = ScriptStep::Kind;

struct Token {
    std::string text;
    bool quoted = false;
};

// The characters that separate words on a line of a script.
constexpr std::string_view kBlanks = " \t\r\f\v";
bool isBlank(char c) { return kBlanks.find(c) != std::string_view::npos; }

// Splits a line into bare words and quoted texts.
bool tokenize(const std::string& line, std::vector<Token>& tokens, std::string& why) {
    std::size_t i = 0;
    while (i < line.size()) {
        if (isBlank(line[i])) {
            ++i;
            continue;
        }
        Token token;
        if (line[i] == '"') {
            token.quoted = true;
            ++i;
            bool closed = false;
            while (i < line.size()) {
                char c = line[i++];
                if (c == '"') {
                    closed = true;
                    break;
                }
                if (c != '\\') {
                    token.text += c;
                    continue;
                }
                if (i >= line.size()) break;
                char e = line[i++];
                switch (e) {
                case '"': token.text += '"'; break;
                case '\\': token.text += '\\'; break;
                case 'n': token.text += '\n'; break;
                case 't': token.text += '\t'; break;
                default:
                    why = std::string("unknown escape \\") + e + " in a text (use \\\", \\\\, \\n or \\t)";
                    return false;
                }
            }
            if (!closed) {
                why = "a text is missing its closing quote";
                return false;
            }
            if (i < line.size() && !isBlank(line[i])) {
                why = "a closing quote must be followed by a space or the end of the line";
                return false;
            }
        } else {
            while (i < line.size() && !isBlank(line[i])) {
                if (line[i] == '"') {
                    why = "a quote inside a word (put a space before the text)";
                    return false;
                }
                token.text += line[i++];
            }
        }
        tokens.push_back(std::move(token));
    }
    return true;
}

// A plain non-negative decimal number: digits with an optional fraction.
bool parseNumber(const Token& token, double& value) {
    if (token.quoted || token.text.empty()) return false;
    bool digits = false, point = false;
    for (char c : token.text) {
        if (c >= '0' && c <= '9') digits = true;
        else if (c == '.' && !point) point = true;
        else return false;
    }
    if (!digits) return false;
    value = std::strtod(token.text.c_str(), nullptr);
    return true;
}

// A number with an optional sign (wheel notches).
bool parseSignedNumber(const Token& token, double& value) {
    if (token.quoted || token.text.empty()) return false;
    const bool negative = token.text[0] == '-';
    Token rest = token;
    if (negative || token.text[0] == '+') rest.text.erase(0, 1);
    if (!parseNumber(rest, value)) return false;
    if (negative) value = -value;
    return true;
}

bool validScreenshotName(const std::string& name) {
    if (name.empty() || name == "." || name == "..") return false;
    for (char c : name)
        if (c == '/' || c == '\\' || c == '\0' || static_cast<unsigned char>(c) < 0x20) return false;
    return true;
}

struct Grammar {
    const char* word;
    Kind kind;
    enum Args { None, Text, Point, Points, PointAndNotches, Seconds, Name } args;
};

constexpr Grammar kGrammar[] = {
    {"tap", Kind::Tap, Grammar::Text},
    {"tap-at", Kind::TapAt, Grammar::Point},
    {"swipe", Kind::Swipe, Grammar::Points},
    {"wheel", Kind::Wheel, Grammar::PointAndNotches},
    {"type", Kind::Type, Grammar::Text},
    {"return", Kind::Return, Grammar::None},
    {"escape", Kind::Escape, Grammar::None},
    {"paste", Kind::Paste, Grammar::Text},
    {"shake", Kind::Shake, Grammar::None},
    {"wait", Kind::Wait, Grammar::Seconds},
    {"background", Kind::Background, Grammar::Seconds},
    {"screenshot", Kind::Screenshot, Grammar::Name},
    {"dump", Kind::Dump, Grammar::None},
    {"expect", Kind::Expect, Grammar::Text},
    {"expect-not", Kind::ExpectNot, Grammar::Text},
    {"quit", Kind::Quit, Grammar::None},
};

bool parseLine(const std::vector<Token>& tokens, ScriptStep& step, std::string& why) {
    const Token& head = tokens.front();
    const Grammar* grammar = nullptr;
    if (!head.quoted)
        for (auto& g : kGrammar)
            if (head.text == g.word) grammar = &g;
    if (!grammar) {
        why = "unknown step \"" + head.text + "\"";
        return false;
    }
    step.kind = grammar->kind;
    std::string word = grammar->word;
    std::size_t want = grammar->args == Grammar::None              ? 1
                       : grammar->args == Grammar::Point           ? 3
                       : grammar->args == Grammar::Points          ? 5
                       : grammar->args == Grammar::PointAndNotches ? 4
                                                                   : 2;
    auto usage = [&]() -> std::string {
        switch (grammar->args) {
        case Grammar::None: return word;
        case Grammar::Text: return word + " \"TEXT\"";
        case Grammar::Point: return word + " X Y";
        case Grammar::Points: return word + " X1 Y1 X2 Y2";
        case Grammar::PointAndNotches: return word + " X Y NOTCHES";
        case Grammar::Seconds: return word + " SECONDS";
        case Grammar::Name: return word + " NAME";
        }
        return word;
    };
    if (tokens.size() != want) {
        why = (tokens.size() < want ? "missing " : "too much after ") + std::string("\"") + word +
              "\" (write: " + usage() + ")";
        return false;
    }
    // X and Y of a step that names one point on the screen.
    auto readPoint = [&] {
        if (!parseNumber(tokens[1], step.x) || !parseNumber(tokens[2], step.y)) {
            why = "X and Y must be numbers of points (write: " + usage() + ")";
            return false;
        }
        if (step.x >= 320 || step.y >= 480) {
            why = "the point is outside the screen (320 x 480 points)";
            return false;
        }
        return true;
    };
    switch (grammar->args) {
    case Grammar::None: break;
    case Grammar::Text:
        if (!tokens[1].quoted) {
            why = "the text must be in double quotes (write: " + usage() + ")";
            return false;
        }
        step.text = tokens[1].text;
        if (step.text.empty() && step.kind != Kind::Type) {
            why = "\"" + word + "\" needs a text that is not empty";
            return false;
        }
        break;
    case Grammar::Point:
        if (!readPoint()) return false;
        break;
    case Grammar::Points:
        if (!parseNumber(tokens[1], step.x) || !parseNumber(tokens[2], step.y) || !parseNumber(tokens[3], step.x2) ||
            !parseNumber(tokens[4], step.y2)) {
            why = "X1 Y1 X2 Y2 must be numbers of points (write: " + usage() + ")";
            return false;
        }
        if (step.x >= 320 || step.y >= 480 || step.x2 >= 320 || step.y2 >= 480) {
            why = "the point is outside the screen (320 x 480 points)";
            return false;
        }
        break;
    case Grammar::PointAndNotches:
        if (!readPoint()) return false;
        if (!parseSignedNumber(tokens[3], step.notches) || std::abs(step.notches) > 100) {
            why = "NOTCHES must be a number from -100 to 100 (write: " + usage() + ")";
            return false;
        }
        break;
    case Grammar::Seconds:
        if (!parseNumber(tokens[1], step.seconds)) {
            why = "SECONDS must be a number that is not negative (write: " + usage() + ")";
            return false;
        }
        break;
    case Grammar::Name:
        step.text = tokens[1].text;
        if (!validScreenshotName(step.text)) {
            why = "a screenshot name must not be empty or contain a slash";
            return false;
        }
        break;
    }
    return true;
}

std::string trim(std::string_view s) { return base::trim(s, kBlanks); }

}  // namespace

std::optional<std::vector<ScriptStep>> parseScript(const std::string& text, ScriptError* error) {
    std::vector<ScriptStep> steps;
    std::istringstream in(text);
    std::string raw;
    int lineNumber = 0;
    while (std::getline(in, raw)) {
        ++lineNumber;
        if (lineNumber == 1 && raw.rfind("\xEF\xBB\xBF", 0) == 0) raw.erase(0, 3);  // a byte-order mark
        std::string line = trim(raw);
        if (line.empty() || line[0] == '#') continue;
        std::vector<Token> tokens;
        std::string why;
        ScriptStep step;
        step.line = lineNumber;
        step.source = line;
        if (!tokenize(line, tokens, why) || !parseLine(tokens, step, why)) {
            if (error) *error = ScriptError{lineNumber, why};
            return std::nullopt;
        }
        steps.push_back(std::move(step));
    }
    return steps;
}

int runSteps(HeadlessDriver& driver, const std::vector<ScriptStep>& steps, const ScriptOptions& options,
             std::ostream& out, std::ostream& err) {
    // Pictures that an earlier run left half-written in the screenshot
    // folder go before new ones are taken.
    if (std::any_of(steps.begin(), steps.end(), [](const ScriptStep& s) { return s.kind == Kind::Screenshot; }))
        base::FileManager::defaultManager().removeStaleTemporariesIn(
            options.screenshotDir.empty() ? "." : options.screenshotDir);
    for (const auto& step : steps) {
        bool ok = true;
        try {
            switch (step.kind) {
            case Kind::Tap: ok = driver.tap(step.text); break;
            case Kind::TapAt: ok = driver.tapAt(static_cast<ui::Float>(step.x), static_cast<ui::Float>(step.y)); break;
            case Kind::Swipe:
                ok = driver.swipe(ui::Point(static_cast<ui::Float>(step.x), static_cast<ui::Float>(step.y)),
                                  ui::Point(static_cast<ui::Float>(step.x2), static_cast<ui::Float>(step.y2)));
                break;
            case Kind::Wheel:
                ok = driver.wheel(ui::Point(static_cast<ui::Float>(step.x), static_cast<ui::Float>(step.y)),
                                  static_cast<ui::Float>(step.notches));
                break;
            case Kind::Type: ok = driver.type(step.text); break;
            case Kind::Return: ok = driver.pressReturn(); break;
            case Kind::Escape: driver.pressEscape(); break;
            case Kind::Paste: ok = driver.paste(step.text); break;
            case Kind::Shake: driver.shake(); break;
            case Kind::Wait: driver.wait(step.seconds); break;
            case Kind::Background: driver.background(step.seconds); break;
            case Kind::Screenshot: {
                std::string dir = options.screenshotDir.empty() ? "." : options.screenshotDir;
                ok = driver.screenshot(dir + "/" + step.text + ".png");
                break;
            }
            case Kind::Dump: out << driver.dump() << std::flush; break;
            case Kind::Expect: ok = driver.expect(step.text); break;
            case Kind::ExpectNot: ok = driver.expectNot(step.text); break;
            case Kind::Quit: driver.quit(); return 0;
            }
        } catch (const std::exception& e) {
            ok = false;
            err << options.scriptName << ":" << step.line << ": " << step.source << ": " << e.what() << std::endl;
            return 1;
        }
        if (!ok) {
            err << options.scriptName << ":" << step.line << ": " << step.source << ": " << driver.lastError()
                << std::endl;
            return 1;
        }
    }
    return 0;
}

int runScriptFile(const std::string& path, const std::string& screenshotDir, const DelegateFactory& factory,
                  std::ostream& out, std::ostream& err, const HeadlessLaunch& launch) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        err << "tolvek: cannot read the script " << path << std::endl;
        return 1;
    }
    std::stringstream buffer;
    buffer << file.rdbuf();
    ScriptError error;
    auto steps = parseScript(buffer.str(), &error);
    if (!steps) {
        err << path << ":" << error.line << ": " << error.why << std::endl;
        return 1;
    }
    try {
        HeadlessDriver driver;
        driver.application().setCanReceiveOwnURLScheme(launch.canReceiveOwnURLScheme);
        driver.start(factory ? factory() : nullptr);
        if (launch.url) {
            if (!driver.application().deliverOpenURL(*launch.url))
                err << "tolvek: the " << launch.url->substr(0, launch.url->find(':')) << " URL given was not for Tolvek"
                    << std::endl;
            driver.settle();
        }
        ScriptOptions options;
        options.scriptName = path;
        options.screenshotDir = screenshotDir.empty() ? "." : screenshotDir;
        int status = runSteps(driver, *steps, options, out, err);
        driver.quit();
        return status;
    } catch (const std::exception& e) {
        // Making the application failed before any step could run.
        err << path << ": the application could not start: " << e.what() << std::endl;
        return 1;
    }
}

}  // namespace host
