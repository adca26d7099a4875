#!/usr/bin/env python3
"""Reference runs: random programs in the part of the language where
Quillon's documented behaviour is standard ES3, run through the quillon
shell and through node; every difference in what they print is reported.

The programs stay clear of every documented difference (see the README):
every variable is declared before the code that uses it, no undeclared
names, calls nest far less than 25 deep, bit operators only see whole
numbers, no octal literals, no elisions, no member reads of null or
undefined, no Date, no caught interpreter errors (only thrown values of the
program's own), ASCII strings only, and no line break before `(`, `[` or
`=`. They do use, at random places, line breaks inside expressions (before
`.`, binary operators, `?`, `:` and `,`, after operators), statements ended
by line breaks instead of semicolons, untaken branches, skipped operands of
&&, || and ?:, every statement with every jump, and members and elements
of an object and an array read and written like variables.

Usage: difftest.py --quillon PATH [--count N] [--seed S] [--keep DIR]
"""
import argparse
import os
import random
import re
import subprocess
import sys
import tempfile

HEAD = ('var show = typeof print != "undefined" ? print : console.log;\n'
        'function out(id, x) { show(id + ": " + x); }\n'
        'function adder(k) { return function (v) { return v + k; }; }\n'
        'function count() { return arguments.length; }\n'
        'function twice(f, v) { return f(f(v)); }\n')


# Kinds of value an expression has, so that no string ever meets a
# conversion to number (which reads the longest number at the start of a
# text here): N numbers (null and undefined among them), S strings, B
# booleans, A anything (only concatenated, tested, compared with === or
# printed).
N, S, B, A = "N", "S", "B", "A"


class Gen:
    def __init__(self, rnd):
        self.r = rnd
        self.vars = {N: ["n0", "n1", "n2", "n3"], S: ["s0", "s1", "s2"], B: ["b0", "b1"], A: ["x0", "x1"]}
        # Members and elements of the program's object m0 and array r0 are
        # read and written like variables (by the program, not by functions).
        if self.chance(0.7):
            self.vars[N] += ["m0.n", "m0.o.n", "r0[%d]" % self.r.randrange(3), "r0[1]"]
            self.vars[S] += ["m0.s"]
            self.vars[B] += ["m0.b"]
            self.vars[A] += ["r0[3]"]  # r0[0..2] hold numbers only
        # What statements assign to. A compound assignment reads its variable
        # after the right side has run, so functions (which a right side may
        # call) write only their own locals.
        self.written = self.vars
        self.funcs = []      # (name, result kind)
        self.counter = 0     # loop counters made so far
        self.labels = 0
        self.outs = 0

    def oid(self):
        self.outs += 1
        return self.outs

    # ---- small pieces -------------------------------------------------------

    def chance(self, p):
        return self.r.random() < p

    def pick(self, seq):
        return self.r.choice(seq)

    def nl(self):
        """A line break where one may stand inside an expression."""
        return "\n" if self.chance(0.15) else " "

    def var(self, kind):
        return self.pick(self.vars[kind])

    def number(self):
        k = self.r.randrange(10)
        if k < 5:
            return str(self.r.randrange(0, 20))
        if k < 7:
            return self.pick(["0.5", "1.5", "2.25", "10", "100", "0.1", "3.75"])
        if k < 8:
            return self.pick(["1e3", "123456789", "0.001", "1e21", "1e-7", "null", "undefined"])
        return str(self.r.randrange(0, 1000))

    def string(self):
        return '"%s"' % self.pick(["", "a", "bc", "xyz", "Hello", "a-b-c", "12", "3.5", " sp ", "abcabc"])

    def literal(self, kind):
        """An initial value: names are declared only when their var runs, so
        initialisers read no variables."""
        if kind == N:
            return self.number()
        if kind == S:
            return self.string()
        if kind == B:
            return self.pick(["true", "false"])
        return self.pick([self.number(), self.string(), "true", "null", "[1, 2]", "({a: 1})"])

    # ---- expressions --------------------------------------------------------

    def call(self, kind, depth):
        fs = [f for f in self.funcs if f[1] == kind]
        if not fs:
            return None
        name, _ = self.pick(fs)
        return "%s(%s,%s%s)" % (name, self.expr(N, depth - 1), self.nl(), self.expr(S, depth - 1))

    def string_method(self, kind, depth):
        s = self.operand(S, depth - 1)
        dot = self.nl() + "." if self.chance(0.3) else "."
        if kind == N:
            return s + dot + self.pick(["length", "indexOf(%s)" % self.string(),
                                         "split(%s).length" % self.pick(['"-"', '""', '"a"']),
                                         "charCodeAt(0) * 0"])
        return s + dot + self.pick(["charAt(%d)" % self.r.randrange(4),
                                     "substring(%d, %d)" % (self.r.randrange(3), self.r.randrange(6)),
                                     "toUpperCase()", "concat(%s)" % self.string(), "slice(1)"])

    def primary(self, kind, depth):
        k = self.r.randrange(10)
        if k < 3 or depth <= 0:
            return self.var(kind) if self.chance(0.6) or kind == A else self.literal(kind)
        if k < 4:
            return self.literal(kind)
        if k < 5:
            return "(" + self.expr(kind, depth - 1) + ")"
        if k < 6:
            c = self.call(kind, depth)
            if c:
                return c
        if k < 7 and kind in (N, S):
            return self.string_method(kind, depth)
        if k < 8:
            # Arrays and objects: read back as a value of the kind wanted.
            if self.chance(0.5):
                return "[%s, %s, %s][%d]" % (self.expr(kind, depth - 1), self.literal(kind),
                                               self.expr(kind, depth - 1), self.r.randrange(3))
            return "({a: %s, b: %s})%s" % (self.expr(kind, depth - 1), self.literal(kind), self.pick([".a", ".b", '["a"]']))
        if kind == S:
            return "String(%s)" % self.expr(self.pick([N, B, A]), depth - 1)
        if kind == N:
            return self.pick([
                "[%s].length" % ", ".join(self.expr(A, depth - 1) for _ in range(self.r.randrange(4))),
                "adder(%s)(%s)" % (self.expr(N, depth - 1), self.expr(N, depth - 1)),
                "twice(adder(%s), %s)" % (self.expr(N, depth - 1), self.expr(N, depth - 1)),
                "count(%s)" % ", ".join(self.expr(A, depth - 1) for _ in range(self.r.randrange(4))),
                "eval(\"%s + 1\")" % self.number()])
        if kind == B:
            return self.pick(["!" + self.primary(A, depth - 1),
                              '"%s" in ({a: %s, b: 2})' % (self.pick("abc"), self.expr(A, depth - 1))])
        return self.pick(["[%s, %s]" % (self.expr(A, depth - 1), self.expr(N, depth - 1)),
                          "({p: %s})" % self.expr(A, depth - 1)])

    def expr(self, kind, depth=2):
        """An expression of the kind, without assignments."""
        if depth <= 0 or self.chance(0.3):
            p = self.primary(kind, depth)
            if kind == N and self.chance(0.2):
                return "-" + p
            if kind == B and self.chance(0.2):
                return "!" + p
            if kind == S and self.chance(0.1):
                return "typeof " + self.primary(A, depth - 1)
            return p
        d = depth - 1
        k = self.r.randrange(10)
        # Operands of an operator are parenthesised when they are compound
        # themselves, so precedence never mixes the kinds.
        sub = self.operand
        if k < 2:
            # The conditional and the logical operators, whose skipped parts
            # must end where they would end if they ran.
            return "%s%s? %s%s: %s" % (sub(B, d), self.nl(), sub(kind, d), self.nl(), sub(kind, d))
        if k < 4 and kind in (B, A):
            op = self.pick(["&&", "||"])
            return "%s %s%s%s" % (sub(kind, d), op, self.nl(), sub(kind, d))
        if kind == N:
            if k < 7:
                op = self.pick(["+", "-", "*", "/", "%", "-", "+"])
                return "%s%s%s %s" % (sub(N, d), self.nl(), op, sub(N, d))
            if k < 9:
                op = self.pick(["|", "&", "^", "<<", ">>", ">>>"])
                return "(Math.floor(%s) | 0) %s%s(Math.floor(%s) & 15)" % (sub(N, d), op, self.nl(), sub(N, d))
            return "Math.%s(%s)" % (self.pick(["floor", "abs", "ceil"]), sub(N, d))
        if kind == S:
            if k < 8:
                return "%s%s+ %s" % (sub(S, d), self.nl(), sub(self.pick([S, N, B, A]), d))
            return "%s +%s%s" % (sub(self.pick([N, B, A]), d), self.nl(), sub(S, d))
        if kind == B:
            if k < 7:
                t = self.pick([N, S])
                op = self.pick(["<", ">", "<=", ">=", "==", "!="])
                return "%s%s%s %s" % (sub(t, d), self.nl(), op, sub(t, d))
            return "%s %s %s" % (sub(A, d), self.pick(["===", "!=="]), sub(A, d))
        return self.expr(self.pick([N, S, B]), depth)

    def operand(self, kind, depth):
        e = self.expr(kind, depth)
        simple = re.fullmatch(r'[A-Za-z_][A-Za-z0-9_]*|"[^"]*"|[0-9.e+-]+', e)
        return e if simple else "(" + e + ")"

    # ---- statements ---------------------------------------------------------

    def assign(self):
        kind = self.pick([k for k in (N, N, S, B, A) if self.written[k]])
        v = self.pick(self.written[kind])
        if kind == N:
            op = self.pick(["=", "+=", "-=", "*=", "="])
        elif kind == S:
            op = self.pick(["=", "+="])
        else:
            op = "="
        rhs = self.expr(kind if op == "=" or kind == N else self.pick([S, N, B, A]))
        return "%s %s %s" % (v, op, rhs)

    def simple(self, ctx):
        """One simple statement (no terminator)."""
        k = self.r.randrange(10)
        if k < 4:
            return self.assign()
        if k < 7:
            return "out(%d, %s)" % (self.oid(), self.expr(self.pick([N, S, B, A])))
        if k < 8:
            return "%s%s" % (self.pick(self.written[N]), self.pick(["++", "--"]))
        if k < 9 and ctx["loops"] and self.chance(0.5):
            return self.jump(ctx)
        if k < 9 and ctx["infunc"] and self.chance(0.3):
            return "return %s" % self.expr(ctx["result"], 1)
        return "out(%d, %s)" % (self.oid(), self.expr(A, 1))

    def jump(self, ctx):
        kinds = ["break", "continue"]
        if ctx["labels"]:
            lbl = self.pick(ctx["labels"])
            kinds += ["break " + lbl[0]] + (["continue " + lbl[0]] if lbl[1] else [])
        j = self.pick(kinds)
        if j == "continue" and not ctx["loopsonly"]:
            j = "break"
        if j == "break" and not ctx["loops"]:
            j = "out(%d, 0)" % self.oid()
        return "if (%s) %s" % (self.expr(B, 1), j)

    def end(self, stmt):
        """Ends a simple statement with `;` or a line break."""
        return stmt + (";\n" if self.chance(0.6) else "\n")

    def block(self, ctx, depth, n=None):
        n = self.r.randrange(1, 4) if n is None else n
        return "{\n" + "".join(self.statement(ctx, depth) for _ in range(n)) + "}\n"

    def body(self, ctx, depth):
        """A statement as the body of a construct: a block or a bare one."""
        if self.chance(0.75):
            return self.block(ctx, depth)
        return self.statement(ctx, depth, single=True)

    def statement(self, ctx, depth, single=False):
        if depth <= 0:
            return self.end(self.simple(ctx))
        k = self.r.randrange(16)
        if single and k in (7, 8):
            k = 9  # while and do come with their counter's var statement
        sub = dict(ctx)
        if k < 6:
            return self.end(self.simple(ctx))
        if k == 6:
            s = "if (%s) %s" % (self.expr(self.pick([B, B, A])), self.body(ctx, depth - 1))
            if self.chance(0.5):
                s += "else " + self.body(ctx, depth - 1)
            return s
        if k in (7, 8, 9):
            c = "w%d" % self.counter
            self.counter += 1
            sub["loops"] = True
            sub["loopsonly"] = True
            lbl = None
            if self.chance(0.3):
                lbl = "L%d" % self.labels
                self.labels += 1
                sub["labels"] = ctx["labels"] + [(lbl, True)]
            prefix = (lbl + ":\n" if self.chance(0.2) else lbl + ": ") if lbl else ""
            n = self.r.randrange(1, 4)
            if k == 7:
                return "var %s = 0;\n%swhile (%s < %d) {\n%s++;\n%s}\n" % (
                    c, prefix, c, n, c, "".join(self.statement(sub, depth - 1) for _ in range(2)))
            if k == 8:
                return "var %s = 0;\n%sdo {\n%s++;\n%s} while (%s < %d)%s\n" % (
                    c, prefix, c, "".join(self.statement(sub, depth - 1) for _ in range(2)), c, n,
                    self.pick([";", ""]))
            return "%sfor (var %s = 0; %s < %d; %s++) %s" % (prefix, c, c, n, c, self.body(sub, depth - 1))
        if k == 10:
            c = "k%d" % self.counter
            self.counter += 1
            sub["loops"] = True
            sub["loopsonly"] = True
            return "for (var %s in {p: 1, q: 2, r: 3}) %s" % (c, self.block(sub, depth - 1))
        if k == 11:
            sub["loops"] = True
            sub["loopsonly"] = False
            cases = []
            for v in range(self.r.randrange(1, 4)):
                stmts = "".join(self.statement(sub, depth - 1) for _ in range(self.r.randrange(0, 3)))
                brk = "break;\n" if self.chance(0.6) else ""
                cases.append("case %d:\n%s%s" % (v, stmts, brk))
            if self.chance(0.5):
                cases.insert(self.r.randrange(len(cases) + 1), "default:\n%s" % self.statement(sub, depth - 1))
            return "switch (%s) {\n%s}\n" % ("Math.floor(%s) %% 4" % self.expr(N, 1), "".join(cases))
        if k == 12:
            s = "try " + self.block(ctx, depth - 1, self.r.randrange(1, 3)).replace(
                "{\n", "{\nif (%s) throw %s;\n" % (self.expr(B, 1), self.expr(self.pick([N, S, B]), 1)), 1)
            form = self.r.randrange(3)
            if form != 1:
                s += "catch (e) {\nout(%d, \"caught \" + e);\n%s}\n" % (self.oid(), self.statement(ctx, depth - 1))
            if form != 0:
                s += "finally " + self.block(ctx, depth - 1, 1)
            return s
        if k == 13:
            lbl = "B%d" % self.labels
            self.labels += 1
            sub["labels"] = ctx["labels"] + [(lbl, False)]
            inner = self.block(sub, depth - 1)
            return "%s: %s" % (lbl, inner.replace("{\n", "{\nif (%s) break %s;\n" % (self.expr(B, 1), lbl), 1))
        if k == 14:
            return "with ({p: %s, q: %s}) %s" % (self.expr(A, 1), self.expr(A, 1), self.block(ctx, depth - 1))
        kind = self.pick([N, S, B, A])
        return self.end("out(%d, %s ? %s : %s)" % (self.oid(), self.expr(B), self.expr(kind), self.expr(kind)))

    def function(self, index):
        name = "f%d" % index
        result = self.pick([N, S, B, A])
        ctx = {"loops": False, "loopsonly": False, "labels": [], "infunc": True, "result": result}
        # The locals shadow a number and a string of the program; the
        # parameters are a number and a string.
        local = "var n0 = %s, s0 = %s;\n" % (self.number(), self.string())
        saved = {k: list(v) for k, v in self.vars.items()}
        self.vars[N].append("a0")
        self.vars[S].append("a1")
        self.written = {N: ["n0", "a0"], S: ["s0", "a1"], B: [], A: []}
        body = "".join(self.statement(ctx, 2) for _ in range(self.r.randrange(1, 4)))
        src = "function %s(a0, a1) {\n%s%sreturn %s;\n}\n" % (name, local, body, self.expr(result, 1))
        self.vars = saved
        self.written = self.vars
        self.funcs.append((name, result))
        return src

    def program(self):
        parts = [HEAD]
        parts.append('var m0 = {n: 1, s: "a", b: true, o: {n: 2}}, r0 = [1, 2, 3, 4];\n')
        for kind, names in self.vars.items():
            parts.append("".join("var %s = %s;\n" % (v, self.literal(kind)) for v in names if v.isalnum()))
        for i in range(self.r.randrange(0, 5)):
            parts.append(self.function(i))
        ctx = {"loops": False, "loopsonly": False, "labels": [], "infunc": False, "result": A}
        for _ in range(self.r.randrange(4, 12)):
            parts.append(self.statement(ctx, 3))
        names = [v for vs in self.vars.values() for v in vs]
        parts.append("out(0, [%s].join(\"|\"));\n" % ", ".join(names))
        return "".join(parts)


def run(cmd, path):
    try:
        p = subprocess.run(cmd + [path], capture_output=True, timeout=20)
        return p.returncode, p.stdout, p.stderr
    except subprocess.TimeoutExpired:
        return "timeout", b"", b""


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--quillon", required=True)
    ap.add_argument("--node", default="node")
    ap.add_argument("--count", type=int, default=2000)
    ap.add_argument("--seed", type=int, default=1)
    ap.add_argument("--keep", default=None, help="folder for the programs that differ")
    args = ap.parse_args()
    keep = args.keep
    if keep:
        os.makedirs(keep, exist_ok=True)
    differ = 0
    statements = 0
    with tempfile.TemporaryDirectory() as tmp:
        for n in range(args.count):
            rnd = random.Random(args.seed * 1000003 + n)
            text = Gen(rnd).program()
            statements += text.count("\n")
            path = os.path.join(tmp, "p%d.js" % n)
            with open(path, "w") as f:
                f.write(text)
            q = run([args.quillon], path)
            j = run([args.node], path)
            same = q[1] == j[1] and (q[0] == 0) == (j[0] == 0)
            if not same:
                differ += 1
                name = "seed%d_%d.js" % (args.seed, n)
                print("DIFF %s: quillon status %s, node status %s" % (name, q[0], j[0]))
                ql = q[1].decode(errors="replace").splitlines()
                jl = j[1].decode(errors="replace").splitlines()
                for i in range(max(len(ql), len(jl))):
                    a = ql[i] if i < len(ql) else "<none>"
                    b = jl[i] if i < len(jl) else "<none>"
                    if a != b:
                        print("  line %d: quillon %r, node %r" % (i + 1, a[:120], b[:120]))
                        break
                if q[2]:
                    print("  quillon: %s" % q[2].decode(errors="replace").strip().splitlines()[-1][:200])
                if keep:
                    with open(os.path.join(keep, name), "w") as f:
                        f.write(text)
    print("%d programs (%d lines), %d differ" % (args.count, statements, differ))
    sys.exit(1 if differ else 0)


if __name__ == "__main__":
    main()
