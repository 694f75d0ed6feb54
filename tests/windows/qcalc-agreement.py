#!/usr/bin/env python3
"""Runs the same formulas through the Windows qcalc.exe (under Wine) and the
Linux qcalc and reports where their output differs: every built-in function's
values, its math errors, and random formulas. Each program starts once.

usage: qcalc-agreement.py WINDOWS_QCALC LINUX_QCALC [--random N] [--seed S]

Exits 0 when every formula prints the same on both, 1 when one differs, and
77 (ctest's skip) when LINUX_QCALC does not exist: it comes from the Linux
build (`make test` makes build/tools/qcalc).
"""

import argparse
import os
import random
import shutil
import subprocess
import sys

SKIP = 77

# Values of every built-in function, at ordinary and awkward arguments.
# Each line is one formula (variables persist from line to line).
VALUES = """
abs(-2.5)
abs(0-0)
mod(10^300, 7)
mod(7.5, 2)
mod(0-7.5, 2)
mod(1, 0.1)
ipart(2.75)
ipart(0-2.75)
fpart(2.75)
fpart(0-3)
min(3, 1, 2)
max(3, 1, 2)
max(0-1, 0-2)
sqrt(2)
sqrt(1234567.89)
ceil(2.1)
ceil(0-2.1)
floor(2.9)
floor(0-2.9)
sin(1)
sin(PI)
sin(10^22)
sin(123456.789)
cos(1)
cos(PI/2)
cos(10^22)
tan(1)
tan(PI/2)
tan(1.5707963)
sinh(2) - cosh(2) + tanh(0.3)
sinh(0.5)
sinh(30)
cosh(0.5)
cosh(700)
tanh(0.001)
tanh(20)
asin(0.5)
asin(0.99999)
acos(0.5)
acos(0-0.99999)
atan(1)
atan(123.456)
atan2(1, 2)
atan2(0-1, 0-2)
atan2(0, 0-1)
deg(PI)
deg(1)
rad(180)
rad(45.5)
log(2)
log(1000)
log(123.456)
ln(2)
ln(10)
ln(1.0000001)
exp(1)
exp(0.5)
exp(700)
exp(0-700)
logn(8, 2)
logn(100, 3)
logn(2.5, 7.25)
rect2pol(3, 4, &len, &ang); len
ang
rect2pol(0-1, 0.5, &len, &ang); ang
pol2rect(2, 1, &px, &py); px
py
pol2rect(1.5, 0-2.5, &px, &py); py
s = 0
rand(&s)
rand(&s)
s = 12345; rand(&s)
randomize(&r)
random(1, 6, &s)
random(0-10, 10, &s)
s
if(1, 2, 3)
if(0, 2, 3)
select(0-1, 1, 2, 3)
select(0, 1, 2, 3)
select(1, 1, 2, 3)
select(0, 1, 2)
equal(0.1 + 0.2, 0.3)
equal(2, 2)
above(2, 1)
below(2, 1)
and(1, 0)
or(0, 2)
not(0)
not(3)
clip(5, 0, 3)
clip(0-5, 0, 3)
clamp(5, 0, 3)
clamp(0-0.5, 0, 3)
rescale(5, 0, 10, 100, 200)
rescale(0.3, 0, 1, 0-1, 1)
poly(2, 1, 2, 3)
poly(0.5, 3, 0-2, 1, 7)
gauss(0.3)
gauss(1, 0.5)
gauss(1, 0.5, 2)
cheby(0.3, 2)
cheby(0.3, 2.5)
cheby(1.5, 3)
cheby(0-1.5, 3)
pow(2, 0.5)
pow(10, 300)
pow(10, 0-300)
pow(0-2, 3)
pow(1.0001, 10000)
powBipolar(0-0.5, 2)
powBipolar(0.5, 0.3)
quant(0.37, 0.1)
quant(0-0.37, 0.25)
quantToBits(0.3, 4)
quantToBits(0.7, 8)
saw(0.3)
saw(1.7)
sign(0-2)
sign(0)
step(0.5)
step(0-0.5)
softClip(0.95)
softClip(0.5, 0-1, 1, 0-0.5, 0.5)
softClip(3, 0-1, 1)
10^300
2^0.5
1.1^1000
0-2^2
atan2(1, 10^300 * 10^300)
pow(0, 0-1)
pow(10, 400)
pow(10, 0-400)
rescale(1, 2, 2, 0, 1)
cheby(2, 1000)
gauss(1, 0)
quant(1, 0)
quantToBits(0.5, 0)
pow(0-8, 1/3)
"""

# Formulas that fail on Linux (math errors, and a few of reading): each must
# fail alike.
ERRORS = """
mod(1, 0)
mod(exp(710), 2)
sqrt(0-1)
sin(exp(710))
cos(exp(710))
tan(exp(710))
sinh(1000)
cosh(1000)
cosh(0-1000)
asin(2)
acos(0-1.5)
log(0)
log(0-1)
ln(0)
ln(0-1)
exp(1000)
exp(0-1000)
logn(5, 1)
logn(0-5, 2)
logn(5, 0)
atan2(10^(0-300), 10^300)
10^400
10^(0-400)
(0-8)^(1/3)
0^(0-1)
1/0
1 +
min(1)
(1
$
"""

ONE_ARGUMENT = ["abs", "ipart", "fpart", "sqrt", "ceil", "floor", "sin", "cos", "tan",
                "sinh", "cosh", "tanh", "asin", "acos", "atan", "deg", "rad", "log",
                "ln", "exp", "not", "saw", "sign", "step", "gauss", "softClip"]
TWO_ARGUMENTS = ["mod", "atan2", "logn", "equal", "above", "below", "and", "or",
                 "cheby", "pow", "powBipolar", "quant", "quantToBits", "min", "max"]
THREE_ARGUMENTS = ["if", "clip", "clamp", "select", "gauss"]
VARIABLES = ["a", "b", "c", "x"]

# Printed between the formulas, so that each formula's output is found.
MARK = "1234567.125"
MARK_OUTPUT = "1234567.125"


def random_number(rng):
    kind = rng.random()
    if kind < 0.4:
        return str(rng.randint(0, 20))
    if kind < 0.8:
        return "%d.%d" % (rng.randint(0, 99), rng.randint(0, 999))
    if kind < 0.9:
        return ".%d" % rng.randint(1, 99999)
    return str(rng.randint(0, 1000000))


def random_expression(rng, depth):
    if depth <= 0 or rng.random() < 0.25:
        return random_number(rng) if rng.random() < 0.7 else rng.choice(VARIABLES)
    kind = rng.random()
    sub = lambda: random_expression(rng, depth - 1)
    if kind < 0.30:
        return "%s %s %s" % (sub(), rng.choice("+-*/"), sub())
    if kind < 0.40:
        return "%s^%s" % (sub(), random_number(rng) if rng.random() < 0.5 else "(%s)" % sub())
    if kind < 0.47:
        return "-(%s)" % sub()
    if kind < 0.52:
        return "(%s)" % sub()
    if kind < 0.72:
        return "%s(%s)" % (rng.choice(ONE_ARGUMENT), sub())
    if kind < 0.86:
        return "%s(%s, %s)" % (rng.choice(TWO_ARGUMENTS), sub(), sub())
    if kind < 0.92:
        return "%s(%s, %s, %s)" % (rng.choice(THREE_ARGUMENTS), sub(), sub(), sub())
    if kind < 0.94:
        return "rescale(%s, %s, %s, %s, %s)" % (sub(), sub(), sub(), sub(), sub())
    if kind < 0.96:
        return "poly(%s, %s, %s, %s)" % (sub(), sub(), sub(), sub())
    if kind < 0.98:
        return "rand(&%s)" % rng.choice(VARIABLES)
    return "%s(%s, %s, &%s, &%s)" % (rng.choice(["rect2pol", "pol2rect"]), sub(), sub(),
                                      rng.choice(VARIABLES), rng.choice(VARIABLES))


def random_formula(rng):
    statements = []
    for _ in range(rng.randint(0, 2)):
        statements.append("%s = %s" % (rng.choice(VARIABLES), random_expression(rng, 3)))
    statements.append(random_expression(rng, rng.randint(1, 5)))
    return "; ".join(statements)


def run(command, formulas, windows):
    text = "".join(formula + "\n" + MARK + "\n" for formula in formulas)
    env = dict(os.environ)
    if windows:
        env.setdefault("WINEDEBUG", "-all")
    result = subprocess.run(command, input=text.encode(), stdout=subprocess.PIPE,
                            stderr=subprocess.STDOUT, env=env, timeout=600)
    lines = result.stdout.decode("utf-8", "replace").replace("\r\n", "\n").split("\n")
    outputs, current = [], []
    for line in lines:
        if line == MARK_OUTPUT:
            outputs.append("\n".join(current))
            current = []
        else:
            current.append(line)
    return outputs


def compare(name, formulas, windows_command, linux_command, expect_errors):
    linux = run(linux_command, formulas, False)
    windows = run(windows_command, formulas, True)
    if len(linux) != len(formulas) or len(windows) != len(formulas):
        print("%s: %d formulas, but %d outputs on Linux and %d on Windows"
              % (name, len(formulas), len(linux), len(windows)))
        return 1
    differ = 0
    errors = 0
    for formula, on_linux, on_windows in zip(formulas, linux, windows):
        failed = "\n" in on_linux or on_linux.startswith(formula)
        errors += failed
        if on_linux != on_windows:
            differ += 1
            print("differs: %s\n  Linux:   %s\n  Windows: %s"
                  % (formula, on_linux.replace("\n", " | "), on_windows.replace("\n", " | ")))
        elif expect_errors and not failed:
            print("note: no error on either: %s = %s" % (formula, on_linux))
    print("%s: %d of %d agree (%d errors, %d values), %d differ"
          % (name, len(formulas) - differ, len(formulas), errors, len(formulas) - errors, differ))
    return 1 if differ else 0


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("windows_qcalc")
    parser.add_argument("linux_qcalc")
    parser.add_argument("--random", type=int, default=400)
    parser.add_argument("--seed", type=int, default=31)
    parser.add_argument("--wine", default="wine")
    args = parser.parse_args()

    if not os.access(args.linux_qcalc, os.X_OK):
        print("skipped: no Linux qcalc at %s (make test builds it)" % args.linux_qcalc)
        return SKIP
    if shutil.which(args.wine) is None:
        print("skipped: %s is not installed" % args.wine)
        return SKIP

    rng = random.Random(args.seed)
    randoms = [random_formula(rng) for _ in range(args.random)]
    windows_command = [args.wine, args.windows_qcalc]
    linux_command = [args.linux_qcalc]
    status = 0
    for name, text, expect_errors in (("values", VALUES, False), ("errors", ERRORS, True)):
        formulas = [line for line in text.splitlines() if line.strip()]
        status |= compare(name, formulas, windows_command, linux_command, expect_errors)
    status |= compare("random formulas", randoms, windows_command, linux_command, False)
    return status


if __name__ == "__main__":
    sys.exit(main())
