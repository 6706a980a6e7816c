#pragma once
// Scripts for the headless host: one step per line, blank lines and lines
// starting with "#" ignored.
//
//   tap "TEXT"           tap the front-most visible, enabled control or row
//                        whose title, text or accessibility label is TEXT
//   tap-at X Y           tap the point (screen points)
//   swipe X1 Y1 X2 Y2    drag a finger from one point to the other (scrolls)
//   wheel X Y NOTCHES    turn the mouse wheel with the pointer at the point:
//                        negative notches towards you (down a list or on to
//                        the next page), positive away (up); at most 100
//   type "TEXT"          type into the text input being edited
//   return               press the return key (the button an alert names for it)
//   escape               press the escape key (what an alert or sheet names
//                        for it, else a screen's Cancel or Back)
//   paste "TEXT"         paste TEXT from the clipboard into the text input
//   shake                shake the device
//   wait SECONDS         advance the clock, firing timers and animations
//   background SECONDS   go to the background for the seconds and come back
//   screenshot NAME      write DIR/NAME.png of the whole screen
//   dump                 print the visible view tree
//   expect "TEXT"        fail unless a visible view shows a text containing TEXT
//   expect-not "TEXT"    fail if a visible view shows a text containing TEXT
//   quit                 end the run
//
// Texts are in double quotes; inside them \" is a quote, \\ a backslash,
// \n a line break and \t a tab. The whole script is read before anything
// runs, so a mistake on any line fails at once. A failing step prints the
// script's name, the line number and why, and the run answers 1; a script
// that runs to its end (or quits) answers 0.
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

#include "platform/host/Host.h"

namespace host {

class HeadlessDriver;

struct ScriptStep {
    enum class Kind {
        Tap,
        TapAt,
        Swipe,
        Wheel,
        Type,
        Return,
        Escape,
        Paste,
        Shake,
        Wait,
        Background,
        Screenshot,
        Dump,
        Expect,
        ExpectNot,
        Quit
    };
    Kind kind = Kind::Dump;
    int line = 0;           // 1-based line in the script
    std::string text;       // tap, type, paste, expect, expect-not: the text; screenshot: the name
    double x = 0, y = 0;    // tap-at, wheel; swipe: where the finger goes down
    double x2 = 0, y2 = 0;  // swipe: where it is lifted
    double notches = 0;     // wheel: how far the wheel turns
    double seconds = 0;     // wait, background
    std::string source;     // the line as written (trimmed), for messages
};

struct ScriptError {
    int line = 0;
    std::string why;
};

// Reads a whole script; on the first bad line answers nothing and fills error.
std::optional<std::vector<ScriptStep>> parseScript(const std::string& text, ScriptError* error);

struct ScriptOptions {
    std::string scriptName = "script";  // shown before line numbers
    std::string screenshotDir = ".";    // where screenshot NAME writes NAME.png
};

// Runs parsed steps on a started driver; dump output goes to out, failures
// to err. Answers 0 when every step passed (or the script quit), 1 on the
// first failing step.
int runSteps(HeadlessDriver& driver, const std::vector<ScriptStep>& steps, const ScriptOptions& options,
             std::ostream& out, std::ostream& err);

// What a headless run starts with besides its script.
struct HeadlessLaunch {
    // A URL handed to the application once it has launched, before the
    // first step (as a browser hands one to "tolvek URL").
    std::optional<std::string> url;
    // Whether the desktop can hand the program URLs of its own scheme.
    bool canReceiveOwnURLScheme = false;
};

// The whole headless run: reads the script file, starts a driver with the
// factory's delegate, runs the steps and quits. Answers the exit status (1
// also for an unreadable or malformed script).
int runScriptFile(const std::string& path, const std::string& screenshotDir, const DelegateFactory& factory,
                  std::ostream& out, std::ostream& err, const HeadlessLaunch& launch = {});

}  // namespace host
