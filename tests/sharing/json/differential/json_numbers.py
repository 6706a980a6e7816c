#!/usr/bin/env python3
"""The JSON parser's numbers against python's exact reading of the same texts.

Generates number texts of 1 to 40 digits (signs, fractions, exponents, and
the values where a 64-bit mantissa wraps or ends: multiples of 2^64 and
2^32, 10^19, 2^63 and 2^64 and their neighbours; a few of 70 to 110 digits
besides, past what the platform's reader keeps), sets them at the end of a
text and before other bytes, alone, in arrays and in objects, and has
json_number_reader (the path given as the only argument) print what the
parser read. Python reads each text with json.loads(parse_float=Decimal,
parse_int=int), which keeps every number exact, and the two must agree:

- the decimal: the exact value wherever the 38-digit decimal holds it
  (at most 38 significant digits, or 39 that fit its 128-bit mantissa, and
  a power of ten from -128 to 127 once trailing zeros are taken in);
  otherwise the value rounded once to 38 digits (half away from zero) and
  to no power below -128; a value too large for the decimal is refused;
- its double: the correctly rounded double of that decimal (python's
  float(Decimal) is correctly rounded), which for an exact decimal is the
  correctly rounded double of the text's number;
- its whole number: truncated toward zero, clamped to 64 bits.

The seed is fixed, so every run checks the same cases. Prints the case count
and exits 0 when nothing differs, else prints each differing text.
"""
import decimal
import json
import random
import subprocess
import sys
from decimal import Decimal

SEED = 20240611
CASES = 4000
MAX_MANTISSA = 2**128 - 1
MAX_EXPONENT = 127
MIN_EXPONENT = -128
INT64_MIN, INT64_MAX = -(2**63), 2**63 - 1

# The integers where a 64-bit mantissa wraps to zero or ends, and nearby.
SPECIAL_INTEGERS = sorted(
    {2**64 * k for k in (1, 2, 3, 5, 7, 10, 1000, 123456789)}
    | {2**64 * 10**j for j in range(1, 19)}
    | {2**32 * k for k in (1, 2, 4294967295, 4294967296, 4294967297, 10**9)}
    | {10**19 - 1, 10**19, 10**19 + 1, 10**20}
    | {2**63 - 1, 2**63, 2**63 + 1, 2**64 - 1, 2**64 + 1}
    | {2**53 - 1, 2**53 + 1, 2**127, 2**128 - 1, 2**128, 10**38 - 1, 10**38, 10**39 - 1}
)


def random_digits(rng, count, first_nonzero=True):
    digits = [str(rng.randrange(10)) for _ in range(count)]
    if first_nonzero and digits:
        digits[0] = str(rng.randrange(1, 10))
    return "".join(digits)


def exponent_text(rng):
    kind = rng.random()
    if kind < 0.5:
        value = rng.randrange(0, 30)
    elif kind < 0.85:
        value = rng.randrange(90, 175)  # about the decimal's range ends
    elif kind < 0.95:
        value = rng.choice((99999, 100000, 100001, 123456, 10**12))
    else:
        value = rng.randrange(0, 10)
    text = str(value)
    if rng.random() < 0.1:
        text = "0" * rng.randrange(1, 25) + text
    sign = rng.choice(("", "+", "-", "-"))
    return rng.choice("eE") + sign + text


def number_text(rng):
    """One JSON number text: 1 to 40 significant digits, sometimes fewer
    digits than the special integer it spells, a point anywhere."""
    sign = "-" if rng.random() < 0.35 else ""
    kind = rng.random()
    if kind < 0.35:
        digits = str(rng.choice(SPECIAL_INTEGERS))
    elif kind < 0.45:
        # A multiple of 2^64 of any length up to 40 digits.
        digits = str(2**64 * rng.randrange(1, 10**rng.randrange(1, 21)))
    elif kind < 0.97:
        digits = random_digits(rng, rng.randrange(1, 41))
    else:
        # Past the 80 digits the platform's reader keeps: 39 that the
        # mantissa would hold, then zeros, then a last digit or none.
        digits = str(rng.randrange(10**38, MAX_MANTISSA)) + "0" * rng.randrange(30, 70) + rng.choice("0123456789")
    if len(digits) > 40 and kind < 0.97:
        digits = digits[:40]
    whole, fraction = digits, ""
    shape = rng.random()
    if shape < 0.3 and len(digits) > 1:
        cut = rng.randrange(1, len(digits))
        whole, fraction = digits[:cut], digits[cut:]
    elif shape < 0.45:
        whole, fraction = "0", "0" * rng.randrange(0, 25) + digits
    elif shape < 0.55:
        fraction = random_digits(rng, rng.randrange(1, 12), first_nonzero=False)
    text = sign + whole
    if fraction:
        text += "." + fraction
    if rng.random() < 0.4:
        text += exponent_text(rng)
    return text


BLANKS = (" ", "\t", "\n", "\r", "  \n\t")


def blank(rng):
    return rng.choice(("",) * 3 + BLANKS)


def case_text(rng):
    """A text holding one to four generated numbers."""
    numbers = [number_text(rng) for _ in range(rng.randrange(1, 5))]
    shape = rng.randrange(6)
    if shape == 0:
        return blank(rng) + numbers[0] + rng.choice(("",) + BLANKS)
    if shape == 1:
        # Elements with or without filler between them, the last one right
        # before the bracket or before a long tail.
        items = []
        for n in numbers:
            items.append(n)
            if rng.random() < 0.3:
                items.append(rng.choice(("1", "0", "-2.5", '"text"', "true", "null")))
        tail = rng.choice(("", "", ',"a longer string after it"', ",12345678901234567890"))
        inner = ("," + blank(rng)).join(blank(rng) + i + blank(rng) for i in items)
        return "[" + inner + tail + "]"
    if shape == 2:
        pairs = ", ".join('"k%d":%s%s%s' % (i, blank(rng), n, blank(rng)) for i, n in enumerate(numbers))
        return "{" + pairs + rng.choice(("", ',"id":1', ',"name":"eight bytes or more"')) + "}"
    if shape == 3:
        return '{"id":%s,"list":[%s]}' % (numbers[0], ",".join(numbers[1:]))
    if shape == 4:
        return "[[" + "],[".join(numbers) + "]]"
    return "[" + ",".join(numbers) + "]" + blank(rng)


def expected_decimal(value):
    """The decimal the parser should read for the exact value: (Decimal,
    exact) or None when it is too large for the decimal."""
    sign, digits, exponent = value.as_tuple()
    c = int("".join(map(str, digits)))
    if c == 0:
        return Decimal(0), True
    q = exponent
    while c % 10 == 0:
        c //= 10
        q += 1
    count = len(str(c))
    limit = 39 if count == 39 and c <= MAX_MANTISSA else 38
    drop = max(count - limit, MIN_EXPONENT - q)
    exact = drop <= 0
    if drop > count:
        return Decimal(0), False  # below a tenth of the smallest unit
    if not exact:
        unit = 10**drop
        c, rest = divmod(c, unit)
        if 2 * rest >= unit:
            c += 1
        q += drop
        if c == 0:
            return Decimal(0), False
        while c % 10 == 0:
            c //= 10
            q += 1
    while q > MAX_EXPONENT and c * 10 <= MAX_MANTISSA:
        c *= 10
        q -= 1
    if q > MAX_EXPONENT:
        return None
    return Decimal((sign, tuple(int(d) for d in str(c)), q)), exact


def numbers_of(value, out):
    """The numbers of a json.loads result, in document order."""
    stack = [value]
    while stack:
        v = stack.pop()
        if isinstance(v, bool) or v is None or isinstance(v, str):
            continue
        if isinstance(v, (int, Decimal)):
            out.append(Decimal(v))
        elif isinstance(v, list):
            stack.extend(reversed(v))
        elif isinstance(v, dict):
            stack.extend(reversed(list(v.values())))
    return out


def expectation(text):
    """What the reader should print for the text, as a list of (decimal,
    double, integer, exact) per number, or None for a refusal."""
    value = json.loads(text, parse_float=Decimal, parse_int=int)
    result = []
    for number in numbers_of(value, []):
        read = expected_decimal(number)
        if read is None:
            return None
        d, exact = read
        whole = max(INT64_MIN, min(INT64_MAX, int(d)))
        result.append((d, float(d), whole, exact))
    return result


def compare(text, line, expected):
    """A reason the reader's line differs from the expectation, or None."""
    if expected is None:
        return None if line == "error" else "refusal expected"
    fields = line.split(" ")
    if fields[0] != "ok":
        return "value expected"
    got = fields[1:]
    if len(got) != len(expected):
        return "%d numbers expected" % len(expected)
    for field, (d, f, whole, exact) in zip(got, expected):
        decimal_text, double_text, integer_text = field.split(";")
        if Decimal(decimal_text) != d:
            return "decimal %s, expected %s%s" % (decimal_text, d, "" if exact else " (rounded to 38 digits)")
        if float(double_text) != f:
            return "double %s, expected %r" % (double_text, f)
        if int(integer_text) != whole:
            return "integer %s, expected %d" % (integer_text, whole)
    return None


def main():
    if len(sys.argv) != 2:
        sys.exit("usage: json_numbers.py PATH_OF_json_number_reader")
    decimal.getcontext().prec = 200  # exact for every comparison made here
    rng = random.Random(SEED)
    texts = [case_text(rng) for _ in range(CASES)]
    # The texts of the task in hand, whatever the generator drew.
    texts += [
        "18446744073709551616",
        "36893488147419103232",
        "[18446744073709551616,1]",
        '{"id": 36893488147419103232}',
        "[-18446744073709551616.0e0]",
    ]
    payload = b"".join(b"%d\n%s\n" % (len(t.encode()), t.encode()) for t in texts)
    run = subprocess.run([sys.argv[1]], input=payload, stdout=subprocess.PIPE, check=True, timeout=300)
    lines = run.stdout.decode().split("\n")
    if lines and lines[-1] == "":
        lines.pop()
    if len(lines) != len(texts):
        sys.exit("the reader answered %d of %d cases" % (len(lines), len(texts)))
    numbers = rounded = refused = 0
    differences = 0
    for text, line in zip(texts, lines):
        expected = expectation(text)
        if expected is None:
            refused += 1
        else:
            numbers += len(expected)
            rounded += sum(1 for e in expected if not e[3])
        reason = compare(text, line, expected)
        if reason:
            differences += 1
            print("DIFFERENT %r: %s (read: %s)" % (text, reason, line))
    print(
        "%d texts, %d numbers (%d rounded to 38 digits), %d refused as too large: %d differences"
        % (len(texts), numbers, rounded, refused, differences)
    )
    sys.exit(1 if differences else 0)


if __name__ == "__main__":
    main()
