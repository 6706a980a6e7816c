#!/usr/bin/env python3
"""The page reader against html5lib, an independent reader of HTML.

Generates pages (random mixes of what the reader must read as a browser
does, from a fixed seed, and hand-made ones), reads each with html5lib and
with the reader (through the webpage_model tool), and compares what the
page model holds: the forms (action as written after reference decoding,
method, the controls in order with name, type, value, checked, disabled and
what a select or button holds), the links' addresses, the ids, the title and
the text. Addresses are compared as the reader resolves them: html5lib's
attribute value goes through the reader's own resolution (the tool's
"resolve" records), so only the reading of the markup is compared. Exits
non-zero and prints the page on any difference.

html5lib reads with scripting on (a <noscript>'s content is text that is
not shown), as the reader does. Which form a control belongs to is taken as
html5lib's tree builder has it when it inserts the control (its form element
pointer), not from where the control ends up in the tree.

Left out of the generated pages, because the flat page model does not
follow where a browser moves things in its tree: tables (misplaced content
moves before the table), formatting elements (<b>, <a>, ...) left open around
blocks (a browser makes them again after the block ends, or moves the block
out of them), <template> (html5lib reads its content as ordinary elements),
<frameset>, and <isindex> (html5lib still knows it; HTML no longer does).
Two departures of html5lib from HTML are allowed for: it puts formatting it
makes again inside a text area (all the text area's text counts), and it
keeps a line feed written as a reference first in a text area (none is
generated).

Usage: webpage_differential.py WEBPAGE_MODEL [--pages N] [--seed S]
"""
import argparse
import json
import random
import subprocess
import sys

try:
    import html5lib
    from html5lib import treebuilders
    from html5lib.constants import namespaces
except ImportError:
    sys.exit("webpage_differential: html5lib is missing (scripts/install-deps installs python3-html5lib)")

from webpage_pages import generated_pages, handmade_pages

BASE = "http://base.test/dir/page.html"
HTML = namespaces["html"]
WHITESPACE = " \t\n\f\r"
INPUT_TYPES = {
    "hidden", "text", "search", "tel", "url", "email", "password", "date", "month", "week", "time",
    "datetime-local", "number", "range", "color", "checkbox", "radio", "file", "submit", "image", "reset",
    "button",
}
CONTROLS = {"input", "button", "select", "textarea"}
# Elements whose text is neither the page's text nor a link's or button's:
# their own (title, text area, option) or never shown.
TEXT_OWNERS = {"script", "style", "noscript", "iframe", "noembed", "noframes", "textarea", "title", "select",
               "button", "a"}


# --- html5lib's side ---------------------------------------------------------

EtreeBuilder = treebuilders.getTreeBuilder("etree")


class RecordingTreeBuilder(EtreeBuilder):
    """Notes each form and control as the tree builder inserts it, with the
    form element pointer at that moment."""

    def reset(self):
        super().reset()
        self.events = []

    def _note(self, element):
        if element.namespace not in (None, HTML):
            return
        if element.name == "form":
            self.events.append(("form", element._element, None))
        elif element.name in CONTROLS:
            owner = self.formPointer._element if self.formPointer is not None else None
            self.events.append(("control", element._element, owner))

    def insertElementNormal(self, token):
        element = super().insertElementNormal(token)
        self._note(element)
        return element

    def insertElementTable(self, token):
        element = super().insertElementTable(token)
        self._note(element)
        return element


def split(tag):
    if tag.startswith("{"):
        ns, _, name = tag[1:].partition("}")
        return ns, name
    return HTML, tag


def is_html(el, *names):
    if not isinstance(el.tag, str):
        return False  # a comment
    ns, name = split(el.tag)
    return ns == HTML and (not names or name in names)


def collapse(text):
    out, space = [], False
    for c in text:
        if c in WHITESPACE:
            space = True
        else:
            if space and out:
                out.append(" ")
            space = False
            out.append(c)
    return "".join(out)


def squeeze(text):
    return "".join(c for c in text if c not in WHITESPACE)


class Expected:
    """The page model html5lib's reading implies."""

    def __init__(self, page):
        builder = html5lib.HTMLParser(tree=RecordingTreeBuilder)
        root = builder.parse(page, scripting=True)
        self.events = builder.tree.events
        self.root = root
        self.parent = {child: el for el in root.iter() for child in el}
        self.raw_hrefs = []
        self.title = None
        self.pieces = []  # the page's text, with ("link", i) where each link stands
        self.ids = set()
        self._walk(root, owner="page")
        self.forms = self._forms()

    def _is_option_of_select(self, el):
        parent = self.parent.get(el)
        if parent is not None and is_html(parent, "optgroup"):
            parent = self.parent.get(parent)
        return parent is not None and is_html(parent, "select")

    def own_text(self, el):
        """The text el keeps for itself: its text, but not that of another
        element inside it that keeps its own."""
        out = [el.text or ""]
        for child in el:
            if isinstance(child.tag, str) and not (is_html(child) and split(child.tag)[1] in TEXT_OWNERS):
                out.append(self.own_text(child))
            out.append(child.tail or "")
        return "".join(out)

    def _walk(self, el, owner):
        if not isinstance(el.tag, str):
            return
        ns, name = split(el.tag)
        ident = el.get("id")
        if ident and not (ns == HTML and name in ("html", "head", "body")):
            self.ids.add(ident)
        inner = owner
        if ns == HTML:
            if name == "title" and self.title is None:
                self.title = collapse(self.own_text(el))
            if name == "a":
                self.raw_hrefs.append(el.get("href", ""))
                self.pieces.append(("link", len(self.raw_hrefs) - 1, collapse(self.own_text(el))))
                inner = "link"
            elif name in TEXT_OWNERS or (name == "option" and self._is_option_of_select(el)):
                inner = "own"
        if inner == "page" and el.text:
            self.pieces.append(el.text)
        for child in el:
            self._walk(child, inner)
            if inner == "page" and child.tail:
                self.pieces.append(child.tail)

    def _disabled(self, el):
        """Its disabled attribute, or a disabled fieldset around it (but for
        that fieldset's first legend and what it holds)."""
        if el.get("disabled") is not None:
            return True
        path, node = [el], self.parent.get(el)
        while node is not None:
            if is_html(node, "fieldset") and node.get("disabled") is not None:
                legend = next((c for c in node if is_html(c, "legend")), None)
                if legend is None or not any(legend is p for p in path):
                    return True
            path.append(node)
            node = self.parent.get(node)
        return False

    def _control(self, el):
        name = split(el.tag)[1]
        c = {"element": name, "name": el.get("name", ""), "id": el.get("id", ""),
             "placeholder": el.get("placeholder", ""), "value": "", "checked": False,
             "disabled": self._disabled(el), "multiple": False, "label": "", "options": []}
        kind = "".join(ch.lower() if "A" <= ch <= "Z" else ch for ch in el.get("type", ""))
        if name == "input":
            c["type"] = kind if kind in INPUT_TYPES else "text"
            c["value"] = el.get("value", "")
            c["checked"] = c["type"] in ("checkbox", "radio") and el.get("checked") is not None
        elif name == "button":
            c["type"] = kind if kind in ("reset", "button") else "submit"
            c["value"] = el.get("value", "")
            c["label"] = collapse(self.own_text(el))
        elif name == "select":
            c["multiple"] = el.get("multiple") is not None
            c["type"] = "select-multiple" if c["multiple"] else "select-one"
            c["options"] = self._options(el, c["multiple"])
        else:
            c["type"] = "textarea"
            # html5lib puts formatting elements it makes again inside a text
            # area (HTML reads its text with no markup): all its text counts.
            c["value"] = "".join(el.itertext())
        return c

    def _options(self, select, multiple):
        found = []
        for child in select:
            if is_html(child, "option"):
                found.append((child, False))
            elif is_html(child, "optgroup"):
                found += [(o, child.get("disabled") is not None) for o in child if is_html(o, "option")]
        options = []
        for option, group_disabled in found:
            text = collapse(self.own_text(option))
            label = option.get("label")
            options.append({"value": option.get("value", text), "label": label if label else text,
                            "selected": option.get("selected") is not None,
                            "disabled": option.get("disabled") is not None or group_disabled})
        if not multiple:
            # The selectedness a select of one choice settles on.
            selected = [i for i, o in enumerate(options) if o["selected"]]
            for i, o in enumerate(options):
                o["selected"] = bool(selected) and i == selected[-1]
            if not selected and display_size(select.get("size"), multiple) == 1:
                for o in options:
                    if not o["disabled"]:
                        o["selected"] = True
                        break
        return options

    def _forms(self):
        forms, index, loose, checked = [], {}, None, {}
        for kind, el, owner in self.events:
            if kind == "form":
                forms.append({"action": ("raw", el.get("action", "")),
                              "method": "POST" if el.get("method", "").lower() == "post" else "GET",
                              "inputs": []})
                index[id(el)] = len(forms) - 1
                loose = None
                continue
            if owner is not None:
                f = index[id(owner)]
            else:
                if loose is None:
                    forms.append({"action": BASE, "method": "GET", "inputs": []})
                    loose = len(forms) - 1
                f = loose
            control = self._control(el)
            inputs = forms[f]["inputs"]
            if control["type"] == "radio" and control["checked"] and control["name"]:
                key = (id(owner) if owner is not None else None, control["name"])
                if key in checked:
                    pf, pi = checked[key]
                    forms[pf]["inputs"][pi]["checked"] = False
                checked[key] = (f, len(inputs))
            inputs.append(control)
        return forms


def display_size(size, multiple):
    digits = ""
    text = (size or "").lstrip(WHITESPACE)
    if text.startswith("+"):
        text = text[1:]
    for ch in text:
        if not "0" <= ch <= "9":
            break
        digits += ch
    if digits and int(digits) > 0:
        return int(digits)
    return 4 if multiple else 1


# --- the comparison ----------------------------------------------------------

def compare(expected, got, resolved):
    """The differences between html5lib's model and the reader's, as text."""
    diffs = []

    def check(what, want, have):
        if want != have:
            diffs.append("%s: html5lib %r, reader %r" % (what, want, have))

    check("title", expected.title or "", got["title"])
    links = [resolved[h] for h in expected.raw_hrefs]
    check("links", links, got["links"])
    text = []
    for piece in expected.pieces:
        if isinstance(piece, tuple):
            text.append(piece[2] or links[piece[1]])
        else:
            text.append(piece)
    # The model breaks text into paragraphs and collapses its blanks: only
    # what is not blank is compared.
    check("text", squeeze("".join(text)), squeeze(got["text"]))
    check("ids", sorted(expected.ids), got["ids"])
    want_forms = []
    for form in expected.forms:
        form = dict(form)
        if isinstance(form["action"], tuple):
            form["action"] = resolved[form["action"][1]]
        want_forms.append(form)
    check("form count", len(want_forms), len(got["forms"]))
    for i, (want, have) in enumerate(zip(want_forms, got["forms"])):
        check("form %d action" % i, want["action"], have["action"])
        check("form %d method" % i, want["method"], have["method"])
        check("form %d control count" % i, len(want["inputs"]), len(have["inputs"]))
        for j, (a, b) in enumerate(zip(want["inputs"], have["inputs"])):
            for key in a:
                check("form %d control %d %s" % (i, j, key), a[key], b[key])
    return diffs


def run_model(tool, records):
    data = bytearray()
    for kind, text in records:
        body = text.encode("utf-8")
        data += b"%s %d\n" % (kind.encode(), len(body))
        data += body
    out = subprocess.run([tool, BASE], input=bytes(data), stdout=subprocess.PIPE, check=True).stdout
    lines = out.decode("utf-8").splitlines()
    if len(lines) != len(records):
        sys.exit("webpage_differential: the tool answered %d records of %d" % (len(lines), len(records)))
    return [json.loads(line) for line in lines]


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("tool")
    parser.add_argument("--pages", type=int, default=1500)
    parser.add_argument("--seed", type=int, default=20240611)
    args = parser.parse_args()

    pages = handmade_pages() + generated_pages(random.Random(args.seed), args.pages)
    expected = [Expected(page) for page in pages]
    hrefs = sorted({h for e in expected for h in e.raw_hrefs} |
                   {f["action"][1] for e in expected for f in e.forms if isinstance(f["action"], tuple)})
    answers = run_model(args.tool, [("page", p) for p in pages] + [("resolve", h) for h in hrefs])
    resolved = {h: a["resolved"] for h, a in zip(hrefs, answers[len(pages):])}

    failures = 0
    for number, (page, want, answer) in enumerate(zip(pages, expected, answers)):
        diffs = compare(want, answer["model"], resolved)
        if not answer["sliced_same"]:
            diffs.append("the page read in slices differs from the page read at once")
        if diffs:
            failures += 1
            if failures <= 10:
                print("page %d differs:\n  %r" % (number, page))
                for d in diffs[:12]:
                    print("  " + d)
    print("compared %d pages (%d hand-made, %d generated): %d differ" %
          (len(pages), len(handmade_pages()), len(pages) - len(handmade_pages()), failures))
    print("%d passed, %d failed" % (len(pages) - failures, failures))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
