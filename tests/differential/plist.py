"""Property lists read and written by base::Value, checked against python's
plistlib on generated value trees (a fixed seed makes every run the same).

Both ways, in XML and in binary: plistlib writes a tree and ours must read
what plistlib reads back from those bytes; ours writes a tree and plistlib
must read the tree we meant. Values compare exactly: integers and strings
as they are, reals by their bits (any NaN equals any NaN), dates to the
microsecond (XML holds whole seconds: plistlib writes them so, and so does
ours), dictionaries as maps (a property list's dictionary has no order).

Usage: plist.py PATH/TO/differential_tool
"""

import datetime
import math
import os
import plistlib
import random
import struct
import subprocess
import sys

TREES = 600
EPOCH = datetime.datetime(2001, 1, 1)

rng = random.Random(20240611)


def random_text(xml):
    pieces = [
        "a", "Zz", "0", " ", "  ", "<", ">", "&", "&amp;", '"', "'", "]]>", "<![CDATA[", "\t", "\n", "\r", "\r\n",
        "\u00e9", "\u00df", "\u4e2d\u6587", "\U0001F600", "\u200b", "\u2028", "\ufeff", "\ufffd", "-->", "<!--",
        "%", "\\", "key", "$null", "plist", "</string>",
    ]
    if not xml:
        # What XML 1.0 cannot carry at all.
        pieces += ["\x01", "\x08", "\x0b", "\x0c", "\x1f", "\ufffe", "\uffff"]
    return "".join(rng.choice(pieces) for _ in range(rng.randrange(0, 6)))


def random_integer():
    return rng.choice([
        lambda: rng.randrange(-10, 300),
        lambda: rng.randrange(-(2 ** 63), 2 ** 63),
        lambda: rng.randrange(-(2 ** 31), 2 ** 32),
        lambda: rng.choice([2 ** 63 - 1, -(2 ** 63), -(2 ** 63) + 1, 2 ** 63, 2 ** 64 - 1, 2 ** 32, -(2 ** 32),
                            255, 256, 65535, 65536, -1, 0]),
        lambda: rng.randrange(2 ** 63, 2 ** 64),
    ])()


def random_real():
    return rng.choice([
        lambda: rng.uniform(-1e6, 1e6),
        lambda: struct.unpack(">d", struct.pack(">Q", rng.getrandbits(64)))[0],
        lambda: rng.choice([0.0, -0.0, 1.0, -1.5, 0.1, 1e308, -1e308, 5e-324, 2.2250738585072014e-308,
                            1.7976931348623157e308, 3.4028235e38, 3.5e38, 1e-45, 123456789.0, 0.30000000000000004,
                            float("inf"), float("-inf"), float("nan")]),
        lambda: rng.uniform(-1, 1) * 10 ** rng.randrange(-300, 300),
    ])()


def random_date():
    seconds = rng.choice([
        lambda: rng.uniform(-2 ** 31 + 1, 2 ** 31 - 1),
        lambda: float(rng.randrange(-2 ** 31 + 1, 2 ** 31 - 1)),
        lambda: rng.uniform(-3e9, 3e9),
        lambda: rng.choice([0.0, 0.5, -0.5, 63113904000.0, -63114076800.0]),
    ])()
    seconds = max(-63113904000.0, min(seconds, 252423993599.0))  # years 1 to 9999, as datetime holds
    return EPOCH + datetime.timedelta(microseconds=round(seconds * 1e6))


def random_value(xml, depth=0):
    kinds = ["str", "int", "real", "bool", "date", "data"]
    if depth < 6:
        kinds += ["array", "dict"] * (3 if depth < 2 else 1)
    kind = rng.choice(kinds)
    if kind == "str":
        return random_text(xml)
    if kind == "int":
        return random_integer()
    if kind == "real":
        return random_real()
    if kind == "bool":
        return rng.random() < 0.5
    if kind == "date":
        return random_date()
    if kind == "data":
        return bytes(rng.getrandbits(8) for _ in range(rng.choice([0, 1, 2, 3, 57, 58, 200])))
    if kind == "array":
        return [random_value(xml, depth + 1) for _ in range(rng.randrange(0, 6))]
    d = {}
    for _ in range(rng.randrange(0, 6)):
        d[random_text(xml)] = random_value(xml, depth + 1)
    return d


# ---- the tool's tokens (see DifferentialTool.cpp)

def bits(x):
    return struct.pack(">d", x).hex()


def to_tokens(v, out):
    if isinstance(v, bool):
        out.append("b1" if v else "b0")
    elif isinstance(v, int):
        out.append("i%d" % v)
    elif isinstance(v, float):
        out.append("r" + bits(v))
    elif isinstance(v, str):
        out.append("s" + v.encode("utf-8", "surrogatepass").hex())
    elif isinstance(v, bytes):
        out.append("d" + v.hex())
    elif isinstance(v, datetime.datetime):
        out.append("t" + bits((v - EPOCH) / datetime.timedelta(seconds=1)))
    elif isinstance(v, list):
        out.append("a%d" % len(v))
        for item in v:
            to_tokens(item, out)
    else:
        out.append("k%d" % len(v))
        for key, item in v.items():
            out.append("s" + key.encode("utf-8").hex())
            to_tokens(item, out)
    return out


def from_tokens(tokens):
    t = tokens.pop()
    kind, rest = t[0], t[1:]
    if kind == "b":
        return rest == "1"
    if kind == "i":
        return int(rest)
    if kind == "r":
        return struct.unpack(">d", bytes.fromhex(rest))[0]
    if kind == "s":
        return bytes.fromhex(rest).decode("utf-8")
    if kind == "d":
        return bytes.fromhex(rest)
    if kind == "t":
        seconds = struct.unpack(">d", bytes.fromhex(rest))[0]
        return EPOCH + datetime.timedelta(microseconds=round(seconds * 1e6))
    if kind == "a":
        return [from_tokens(tokens) for _ in range(int(rest))]
    if kind == "k":
        d = {}
        for _ in range(int(rest)):
            key = from_tokens(tokens)
            d[key] = from_tokens(tokens)
        return d
    raise ValueError("unknown token " + t)


def same(a, b):
    """Exact equality that tells bool from int and compares reals by bits."""
    if type(a) is not type(b):
        return False
    if isinstance(a, float):
        return (math.isnan(a) and math.isnan(b)) or bits(a) == bits(b)
    if isinstance(a, list):
        return len(a) == len(b) and all(same(x, y) for x, y in zip(a, b))
    if isinstance(a, dict):
        return a.keys() == b.keys() and all(same(a[k], b[k]) for k in a)
    return a == b


def first_difference(a, b, where="top"):
    """Where two trees first differ, and the two values there."""
    if type(a) is not type(b):
        return "%s: %r against %r" % (where, a, b)
    if isinstance(a, list):
        if len(a) != len(b):
            return "%s: %d items against %d" % (where, len(a), len(b))
        for i, (x, y) in enumerate(zip(a, b)):
            if not same(x, y):
                return first_difference(x, y, "%s[%d]" % (where, i))
    if isinstance(a, dict):
        if a.keys() != b.keys():
            return "%s: keys %r against %r" % (where, sorted(a.keys() - b.keys()), sorted(b.keys() - a.keys()))
        for k in a:
            if not same(a[k], b[k]):
                return first_difference(a[k], b[k], "%s/%r" % (where, k))
    return "%s: %r against %r" % (where, a, b)


def whole_seconds(v):
    """The tree as XML holds it: dates to the whole second."""
    if isinstance(v, datetime.datetime):
        return v.replace(microsecond=0)
    if isinstance(v, list):
        return [whole_seconds(x) for x in v]
    if isinstance(v, dict):
        return {k: whole_seconds(x) for k, x in v.items()}
    return v


def run_tool(tool, command, lines):
    done = subprocess.run([tool, command], input="".join(line + "\n" for line in lines), capture_output=True,
                          text=True, timeout=300)
    if done.returncode != 0:
        sys.exit("differential_tool %s failed: %s" % (command, done.stderr))
    answers = done.stdout.split("\n")[:-1]
    if len(answers) != len(lines):
        sys.exit("differential_tool %s answered %d of %d cases" % (command, len(answers), len(lines)))
    return answers


def main():
    tool = sys.argv[1]
    differences = []
    compared = 0

    def differ(what, tree, ours, reference, data=None):
        differences.append(what)
        if len(differences) <= int(os.environ.get("DIFFERENCES_SHOWN", "20")):
            where = first_difference(ours, reference) if ours is not None and reference is not None else ""
            print("DIFFERENCE: %s\n  first at %s\n  value: %r\n  ours:  %r\n  reference: %r"
                  % (what, where, tree, ours, reference))
            if data is not None:
                print("  bytes: %r" % data[:2000])

    trees = []
    for i in range(TREES):
        xml = i % 2 == 0
        root = rng.choice([random_value, lambda x: [random_value(x, 1)], lambda x: {"root": random_value(x, 1)}])(xml)
        trees.append((xml, root))

    # plistlib writes, ours reads.
    inputs = []
    for xml, root in trees:
        formats = [plistlib.FMT_XML, plistlib.FMT_BINARY] if xml else [plistlib.FMT_BINARY]
        for fmt in formats:
            try:
                data = plistlib.dumps(root, fmt=fmt, sort_keys=False)
            except (OverflowError, ValueError, TypeError):
                continue
            inputs.append((root, fmt, data))
    answers = run_tool(tool, "plist-read", [data.hex() for _, _, data in inputs])
    for (root, fmt, data), answer in zip(inputs, answers):
        compared += 1
        want = plistlib.loads(data)
        name = "XML" if fmt == plistlib.FMT_XML else "binary"
        if answer.startswith("ERR "):
            differ("ours cannot read plistlib's %s: %s" % (name, bytes.fromhex(answer[4:]).decode()), root, None,
                   want, data)
            continue
        got = from_tokens(answer.split(" ")[::-1])
        if not same(got, want):
            differ("ours reads plistlib's %s otherwise" % name, root, got, want, data)

    # Ours writes, plistlib reads.
    lines = [" ".join(to_tokens(root, [])) for _, root in trees]
    answers = run_tool(tool, "plist-write", lines)
    for (xml, root), answer in zip(trees, answers):
        xml_hex, binary_hex = answer.split("\t")
        for name, written in (("XML", xml_hex), ("binary", binary_hex)):
            if name == "XML" and not xml:
                continue  # the tree holds what XML cannot carry
            compared += 1
            if written.startswith("ERR"):
                differ("ours cannot write %s: %s" % (name, bytes.fromhex(written[3:]).decode()), root, None, None)
                continue
            data = bytes.fromhex(written)
            try:
                got = plistlib.loads(data)
            except Exception as e:  # any refusal is a difference
                differ("plistlib cannot read our %s: %r" % (name, e), root, None, None, data)
                continue
            want = whole_seconds(root) if name == "XML" else root
            if not same(got, want):
                differ("plistlib reads our %s otherwise" % name, root, got, want, data)

    print("plist: %d property lists compared with plistlib (python %s), %d differences"
          % (compared, sys.version.split()[0], len(differences)))
    sys.exit(1 if differences else 0)


if __name__ == "__main__":
    main()
