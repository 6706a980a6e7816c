"""Mail messages written by the mail composer, read back by python's email
package (policy.default), on generated messages (a fixed seed makes every
run the same).

For each message python must read exactly what we meant: the sender and
every recipient (name and address), the subject, the date, the body text,
and each attachment's type, file name and bytes; it must find no defect,
no header we did not write (a line break in a field must never start a
header of its own), no line longer than mail allows (998), and no header
line longer than 78 characters where a break could go.

Usage: mail.py PATH/TO/differential_tool
"""

import email
import email.policy
import email.utils
import os
import random
import subprocess
import sys

MESSAGES = 400
rng = random.Random(20240611)

NAMES = ["Ann", "Bob Smith", "J\u00f6rg M\u00fcller", "\u5f20\u4f1f", "Doe, John", 'Say "hi"', "O'Neil", "a.b",
         "=?UTF-8?B?SGk=?=", "Ren\u00e9e (work)", "x" * 90, "Zo\u00eb \U0001F600", "semi;colon", "at@sign", "<angle>"]
LOCALS = ["ann", "bob.smith", "j_m", "x+tag", "o'neil", "a-b", "UPPER", "n" * 70]
DOMAINS = ["example.com", "mail.example.org", "x.io", "localhost"]
WORDS = ["push-ups", "today", "Tolvek", "\u00e9t\u00e9", "\u4e2d\u6587", "\U0001F4AA", "=?UTF-8?B?SGk=?=", "=?",
         "?=", "a" * 80, "b" * 200, "tab\there", "100%", "\"quoted\"", "(paren)", "<x@y>", "\x01", "\x7f", "\x0b",
         "\x0c", ":", ";", "\\"]


def address():
    """One recipient as the app hands it over, and the (name, addr-spec) meant."""
    addr = rng.choice(LOCALS) + "@" + rng.choice(DOMAINS)
    if rng.random() < 0.5:
        return addr, ("", addr)
    name = rng.choice(NAMES)
    if any(c in name for c in ',;"()<>@:.\\[]'):
        # A name with specials is quoted, as an address is written.
        quoted = '"' + name.replace("\\", "\\\\").replace('"', '\\"') + '"'
        return quoted + " <" + addr + ">", (name, addr)
    return name + " <" + addr + ">", (name, addr)


def subject():
    words = [rng.choice(WORDS) for _ in range(rng.randrange(0, 12))]
    seps = [rng.choice([" ", " ", " ", "  ", "\t"]) for _ in words]
    text = "".join(w + s for w, s in zip(words, seps)).rstrip(" \t")
    if rng.random() < 0.1:
        text = rng.choice([" ", "  "]) + text
    if rng.random() < 0.15:
        text += rng.choice(["\r\nBcc: evil@example.com", "\nX-Injected: 1", "\rSubject: other", "\r\n\r\nbody"])
    return text


def body():
    lines = []
    for _ in range(rng.randrange(0, 12)):
        lines.append(rng.choice([
            "Well done today.", "From here on", "From the start", ".", "..", ". dot", "--", "-- ",
            "--=_tolvek_", "\u00e9t\u00e9 \u4e2d\u6587 \U0001F4AA", "x" * 77, "y" * 1200, "", " leading blank",
            "trailing blank ", "tab\tinside", "=3D", "=", "begin 644 file", "\x00nul", "\x0b\x0c",
        ]))
    ends = [rng.choice(["\n", "\n", "\r\n", "\r"]) for _ in lines]
    text = "".join(l + e for l, e in zip(lines, ends))
    if rng.random() < 0.4:
        text = text.rstrip("\r\n")
    return text


def attachment():
    mime = rng.choice(["image/png", "text/plain", "application/pdf", "application/octet-stream", "text/csv",
                       "", "foo", "text/plain\r\nX-Evil: 1", "a/b; name=x", "image/png;", "text/plain; charset=utf-8",
                       "TEXT/PLAIN", "application/vnd.ms-excel"])
    name = rng.choice(["log.csv", "chart.png", "J\u00f6rg's log.csv", "\u4e2d\u6587.txt", "a b.txt", 'q"uote.txt',
                       "semi;colon.txt", "=?UTF-8?B?SGk=?=.txt", "100%.txt", "tab\tname.txt", "new\nline.txt",
                       "back\\slash.txt", "x" * 200 + ".txt", "../../etc/passwd", "", "\U0001F600.png", "a=b.txt",
                       "(p).txt", "*.txt"])
    size = rng.choice([0, 1, 2, 3, 57, 58, 100, 1000, 5000])
    data = bytes(rng.getrandbits(8) for _ in range(size))
    return mime, name, data


def valid_type(mime):
    """The type a reader must see: ours when it is a well-formed one, else
    application/octet-stream (what the composer sends for a bad type)."""
    specials = '()<>@,;:\\"/[]?='
    main = mime.split(";", 1)[0]
    if "/" not in main or any(ord(c) < 0x20 or ord(c) >= 0x7f or c in '"\\' for c in mime):
        return "application/octet-stream"
    kind, _, sub = main.partition("/")
    token = lambda t: t and all(0x20 < ord(c) < 0x7f and c not in specials for c in t)
    if not token(kind) or not token(sub):
        return "application/octet-stream"
    return main.lower()


def hexs(text):
    return text.encode("utf-8").hex()


def one_line(text):
    return text.replace("\r", " ").replace("\n", " ")


def crlf(text):
    return text.replace("\r\n", "\n").replace("\r", "\n").replace("\n", "\r\n")


def main():
    tool = sys.argv[1]
    cases = []
    for _ in range(MESSAGES):
        sender = rng.choice(["", "me@example.com", "J\u00f6rg M\u00fcller <j@example.de>", '"Doe, Jo" <jo@x.io>',
                             "me@example.com\r\nBcc: evil@example.com"])
        date = rng.choice([0, 86400 * 365 * 30 + rng.randrange(0, 10 ** 9), 4102444800 - 1, rng.randrange(0, 2 ** 31)])
        lists = [[address() for _ in range(rng.choice([0, 0, 1, 1, 2, 5]))] for _ in range(3)]
        if rng.random() < 0.1:
            lists[0].append(("x@example.com\r\nBcc: evil@example.com", None))
        cases.append({
            "sender": sender, "date": date, "lists": lists, "subject": subject(), "body": body(),
            "html": rng.random() < 0.15, "attachments": [attachment() for _ in range(rng.choice([0, 0, 1, 2, 3]))],
        })
    lines = []
    for c in cases:
        fields = [hexs(c["sender"]), str(c["date"])]
        fields += [hexs("\n".join(a for a, _ in lst)) for lst in c["lists"]]
        fields += [hexs(c["subject"]), hexs(c["body"]), hexs("1" if c["html"] else "0")]
        for mime, name, data in c["attachments"]:
            fields += [hexs(mime), hexs(name), data.hex()]
        lines.append("\t".join(fields))
    env = dict(os.environ, USER="tester", TZ="XST-5:30")
    done = subprocess.run([tool, "mail"], input="".join(l + "\n" for l in lines), capture_output=True, text=True,
                          env=env, timeout=300)
    if done.returncode != 0:
        sys.exit("differential_tool mail failed: %s" % done.stderr)
    answers = done.stdout.split("\n")[:-1]
    if len(answers) != len(cases):
        sys.exit("differential_tool answered %d of %d messages" % (len(answers), len(cases)))

    differences = []
    long_headers = 0

    def differ(c, what, ours, meant, raw):
        differences.append(what)
        if len(differences) <= int(os.environ.get("DIFFERENCES_SHOWN", "20")):
            case = dict(c, attachments=[(m, n, len(d)) for m, n, d in c["attachments"]])
            print("DIFFERENCE: %s\n  case: %r\n  ours: %r\n  meant: %r\n  message: %r"
                  % (what, case, ours, meant, raw[:1500]))

    for c, answer in zip(cases, answers):
        raw = bytes.fromhex(answer)
        msg = email.message_from_bytes(raw, policy=email.policy.default)
        header_part, _, _ = raw.partition(b"\r\n\r\n")
        for line in raw.split(b"\r\n"):
            if len(line) > 998:
                differ(c, "a line of %d characters" % len(line), line[:100], None, raw)
        for line in header_part.split(b"\r\n"):
            if len(line) > 78:
                long_headers += 1
                # A blank within the first 78 characters, past the header's
                # name (or a continuation line's first blank), could take a
                # line break.
                start = 1 if line[:1] in (b" ", b"\t") else line.find(b": ") + 2
                if any(line[i:i + 1] in (b" ", b"\t") for i in range(start, 78)):
                    differ(c, "a header line of %d characters that could break" % len(line), line, None, raw)
        if any(b in raw.replace(b"\r\n", b"") for b in (b"\r", b"\n")):
            differ(c, "a bare CR or LF in the message", None, None, raw)

        names = [k.lower() for k in msg.keys()]
        want_names = ["date", "from"] + [n for n, lst in zip(["to", "cc", "bcc"], c["lists"]) if lst] + [
            "subject", "message-id", "x-unsent", "mime-version", "content-type"]
        if not c["attachments"]:
            want_names.append("content-transfer-encoding")
        if sorted(names) != sorted(want_names):
            differ(c, "headers", names, want_names, raw)
            continue
        # A field given a line break (to start a header of its own) reads as
        # whatever it reads as; only its neighbours must be clean.
        mangled = set()
        if "\r" in c["sender"] or "\n" in c["sender"]:
            mangled.add("from")
        if any(m is None for _, m in c["lists"][0]):
            mangled.add("to")
        defects = list(msg.defects)
        for part in msg.walk():
            defects += part.defects
            for key, value in part.items():
                if part is not msg or key.lower() not in mangled:
                    defects += getattr(value, "defects", ())
        if defects:
            differ(c, "python finds defects", [repr(d) for d in defects], [], raw)

        # Sender, recipients and subject.
        sender = c["sender"] or "tester@localhost"
        if "\r" not in sender and "\n" not in sender:
            want = email.utils.parseaddr(sender)
            got = [(a.display_name, a.addr_spec) for a in msg["From"].addresses]
            if got != [want]:
                differ(c, "From", got, [want], raw)
        for name, lst in zip(["To", "Cc", "Bcc"], c["lists"]):
            if not lst:
                continue
            got = [(a.display_name, a.addr_spec) for a in msg[name].addresses]
            want = [m for _, m in lst if m is not None]
            if any(m is None for _, m in lst):
                got = got[: len(want)]  # what became of the mangled one is its own affair
            if got != want:
                differ(c, name, got, want, raw)
        if str(msg["Subject"]) != one_line(c["subject"]):
            differ(c, "Subject", str(msg["Subject"]), one_line(c["subject"]), raw)
        when = msg["Date"].datetime
        if when is None or when.timestamp() != c["date"]:
            differ(c, "Date", when, c["date"], raw)

        # The body and the attachments.
        text = msg.get_body(preferencelist=("html", "plain"))
        got = text.get_content() if text is not None else None
        want = c["body"].replace("\r\n", "\n").replace("\r", "\n")
        if got is None or got.replace("\r\n", "\n") != want:
            differ(c, "body", got, want, raw)
        if text is not None and text.get_content_type() != ("text/html" if c["html"] else "text/plain"):
            differ(c, "body type", text.get_content_type(), c["html"], raw)
        parts = list(msg.iter_attachments())
        if len(parts) != len(c["attachments"]):
            differ(c, "attachment count", len(parts), len(c["attachments"]), raw)
            continue
        for part, (mime, name, data) in zip(parts, c["attachments"]):
            want = (valid_type(mime), name or "attachment", data)
            got = (part.get_content_type(), part.get_filename(), part.get_payload(decode=True))
            if got != want:
                differ(c, "attachment", got[:2] + (len(got[2] or b""),), want[:2] + (len(data),), raw)

    kinds = {}
    for what in differences:
        kind = what.split(" of ")[0]
        kinds[kind] = kinds.get(kind, 0) + 1
    for kind, count in sorted(kinds.items()):
        print("  %5d  %s" % (count, kind))
    print("mail: %d messages compared with python %s's email package, %d differences (%d header lines over 78)"
          % (len(cases), sys.version.split()[0], len(differences), long_headers))
    sys.exit(1 if differences else 0)


if __name__ == "__main__":
    main()
