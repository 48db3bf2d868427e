#!/usr/bin/env python3
"""Compares the number conversions of two builds of wl_number_probe.

The browser build converts doubles and texts through the C library (musl's
snprintf and strtod), the native build through the C++ library's <charconv>.
Both must give the same bytes and bits. This asks both the same questions, a
million by default, and compares every answer:

  python3 tools/number_conversion_check.py build/tools/wl_number_probe \\
      build-web/tools/wl_number_probe.js [--count N] [--seed S]

A path ending in .js runs under node. The questions are random but fixed by
the seed: doubles of every kind (random bits: subnormals, infinities, NaNs;
numbers of every size; exact binary fractions, whose decimal roundings are
ties; powers of two; whole numbers beyond 2^53) as number text at precisions
0 to 779 and in the shortest form that reads back, and texts (decimal and hexadecimal numbers,
exact midpoints between neighbouring doubles and texts just beside them,
shortest round-trip forms, the edges of overflow and underflow).
Exit status 0 when every answer is equal, 1 otherwise.
"""

import argparse
import decimal
import math
import random
import struct
import subprocess
import sys
import tempfile
import time


def bits_of(value):
    return struct.unpack("<Q", struct.pack("<d", value))[0]


def double_of(bits):
    return struct.unpack("<d", struct.pack("<Q", bits))[0]


def random_double(rng):
    kind = rng.random()
    if kind < 0.4:
        return double_of(rng.getrandbits(64))
    if kind < 0.7:
        return rng.choice((-1, 1)) * 10.0 ** rng.uniform(-30, 30)
    if kind < 0.85:
        # Exact binary fractions: their decimal expansions end in 5, so
        # rounding them to fewer digits meets ties.
        return rng.randint(-10**6, 10**6) / 2.0 ** rng.randint(1, 30)
    if kind < 0.9:
        return double_of(rng.getrandbits(52))  # subnormal
    if kind < 0.94:
        # Powers of two, where the next double is twice as far as the one
        # before, and whole numbers beyond 2^53, whose fixed form is long.
        return math.ldexp(1.0, rng.randint(-1074, 1023)) if rng.random() < 0.5 else \
            float(rng.randint(2**53, 10**rng.randint(16, 25)))
    return rng.choice((0.0, -0.0, 1.0, 5e-324, 2.2250738585072014e-308,
                       1.7976931348623157e308, math.inf, -math.inf, 0.1, 0.3))


def random_precision(rng):
    kind = rng.random()
    if kind < 0.8:
        return rng.randint(1, 17)
    if kind < 0.9:
        return rng.randint(0, 40)
    return rng.randint(41, 779)


def random_decimal_text(rng):
    digits = "".join(rng.choice("0123456789") for _ in range(rng.randint(1, 30)))
    point = rng.randint(0, len(digits))
    text = digits[:point] + ("." if rng.random() < 0.7 else "") + digits[point:]
    if rng.random() < 0.6:
        text += rng.choice("eEdD") + rng.choice(("", "+", "-")) + str(rng.randint(0, 350))
    return rng.choice(("", "-", "+", " ", "  -")) + text


def midpoint_text(rng):
    """The exact decimal midpoint between two neighbouring doubles, or a text
    a little beside it."""
    low = abs(double_of(rng.getrandbits(64) & ~(0x7FF << 52)
                        | rng.randint(0, 0x7FE) << 52))
    high = math.nextafter(low, math.inf)
    middle = (decimal.Decimal(low) + decimal.Decimal(high)) / 2
    text = format(middle, "e")
    side = rng.random()
    if side < 0.5:
        return text
    mantissa, exponent = text.split("e")
    if side < 0.75:
        # Cut to 17..25 significant digits: just below the midpoint.
        keep = rng.randint(18, 26)
        return mantissa[:keep] + "e" + exponent
    return mantissa + "1e" + exponent  # just above it


def random_hex_text(rng):
    if rng.random() < 0.5:
        return float.hex(random_double(rng))
    digits = "".join(rng.choice("0123456789abcdefABCDEF") for _ in range(rng.randint(1, 20)))
    point = rng.randint(0, len(digits))
    return "0x" + digits[:point] + "." + digits[point:] + "p" + str(rng.randint(-1100, 1100))


EDGE_TEXTS = (
    "1.7976931348623157e308", "1.7976931348623158e308", "1.7976931348623159e308",
    "2.4703282292062327e-324", "2.4703282292062328e-324", "4.9406564584124654e-324",
    "2.2250738585072011e-308", "2.2250738585072012e-308", "1e-400", "1e400", "0e999999",
    "9" * 400, "0." + "0" * 330 + "1", "123456789012345678901234567890",
)


def random_text_question(rng):
    kind = rng.random()
    if kind < 0.3:
        return "t " + random_decimal_text(rng)
    if kind < 0.5:
        return "s " + midpoint_text(rng)
    if kind < 0.7:
        return "s " + repr(random_double(rng))
    if kind < 0.85:
        return "s " + random_hex_text(rng)
    if kind < 0.95:
        return "s " + random_decimal_text(rng).replace("d", "e").replace("D", "E")
    return "s " + rng.choice(EDGE_TEXTS)


def questions(count, seed):
    rng = random.Random(seed)
    # Every power of two and the doubles beside it, first.
    lines = ["d %016x 17" % bits_of(value) for k in range(-1074, 1024)
             for value in (math.ldexp(1.0, k), math.nextafter(math.ldexp(1.0, k), 0))]
    count -= len(lines)
    for i in range(count):
        if i % 2 == 0:
            lines.append("d %016x %d" % (bits_of(random_double(rng)), random_precision(rng)))
        else:
            lines.append(random_text_question(rng))
    return lines


def answers(program, questions_file):
    command = ["node", "--no-experimental-fetch", program] if program.endswith(".js") else [program]
    # Files, not pipes: under node the browser build's runtime takes a pipe
    # that is not ready yet for the end of input, and its last writes to a
    # pipe can be lost when it exits.
    questions_file.seek(0)
    with tempfile.TemporaryFile() as answers_file:
        result = subprocess.run(command, stdin=questions_file, stdout=answers_file,
                                stderr=subprocess.PIPE, check=False)
        if result.returncode != 0:
            sys.exit("%s ended with status %d: %s" % (program, result.returncode,
                                                      result.stderr.decode(errors="replace")))
        answers_file.seek(0)
        return answers_file.read().decode("latin-1").split("\n")[:-1]


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("native")
    parser.add_argument("other")
    parser.add_argument("--count", type=int, default=1000000)
    parser.add_argument("--seed", type=int, default=21)
    args = parser.parse_args()
    decimal.getcontext().prec = 1200

    started = time.monotonic()
    asked = questions(args.count, args.seed)
    timings = []
    results = []
    with tempfile.TemporaryFile() as questions_file:
        questions_file.write(("\n".join(asked) + "\n").encode("latin-1"))
        for program in (args.native, args.other):
            begin = time.monotonic()
            results.append(answers(program, questions_file))
            timings.append(time.monotonic() - begin)
    first, second = results
    if len(first) != len(asked) or len(second) != len(asked):
        sys.exit("answers: %d and %d for %d questions" % (len(first), len(second), len(asked)))
    differing = [i for i in range(len(asked)) if first[i] != second[i]]
    for i in differing[:10]:
        print("question: %s\n  %s: %s\n  %s: %s" % (asked[i], args.native, first[i], args.other,
                                                   second[i]))
    doubles = sum(1 for q in asked if q.startswith("d "))
    print("%d questions (%d doubles, %d texts), seed %d: %s; %.1f s in all (%.1f s and %.1f s "
          "answering)" % (len(asked), doubles, len(asked) - doubles, args.seed,
                          "%d answers differ" % len(differing) if differing
                          else "every answer equal", time.monotonic() - started, *timings))
    return 1 if differing else 0


if __name__ == "__main__":
    sys.exit(main())
