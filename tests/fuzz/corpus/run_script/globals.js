// Global functions: eval, isNaN, isFinite, parseInt, parseFloat and the
// global values.
print("parseInt prefixes:", parseInt("0x1F"), parseInt("0X1F"), parseInt("012"), parseInt("08"),
      parseInt("09"), parseInt("0.5"), parseInt("0"), parseInt("-0x10"), parseInt("0x"));
print("parseInt radix:", parseInt("z", 36), parseInt("Z", 36), parseInt("5", 1), parseInt("5", 37),
      parseInt("5", undefined), parseInt("11", 2), parseInt("12", 2), parseInt("ff", 16),
      parseInt("0x1F", 16), parseInt("17", 0), parseInt("10", 36.9), parseInt("10", -0.5));
print("parseInt blanks and signs:", parseInt("  -42abc"), parseInt("\t\r\n+7"), parseInt("\f5"),
      parseInt("\v5"), parseInt("- 5"), parseInt("--5"), parseInt(""), parseInt("   "), parseInt("+"));
print("parseInt wraps:", parseInt("4294967295"), parseInt("2147483648"), parseInt("2147483647"),
      parseInt("4294967296"), parseInt("4294967297"), parseInt("-2147483648"), parseInt("-4294967295"),
      parseInt("99999999999"));
print("parseInt converts:", parseInt(12.9), parseInt(-0.9), parseInt(null), parseInt(true, 36),
      parseInt({toString: function () { return "31"; }}), parseInt(1e21), parseInt("1e3"));
print("parseInt()", parseInt());
print("parseFloat:", parseFloat("\t-+3.5e1x"), parseFloat("x"), parseFloat("--5"), parseFloat("-+-2"),
      parseFloat("  .5"), parseFloat("5."), parseFloat("1e"), parseFloat("1e+"), parseFloat("-Infinity"),
      parseFloat("Infinityx"), parseFloat(""), parseFloat("-"),
      parseFloat(" \t 1.25e-2 rest"));
print("isNaN:", isNaN(NaN), isNaN("x"), isNaN("5"), isNaN(""), isNaN(undefined), isNaN(null),
      isNaN({}), isNaN(" 12px"));
print("isFinite:", isFinite(-Infinity), isFinite(Infinity), isFinite(NaN), isFinite("1e308"),
      isFinite("1e309"), isFinite(0), isFinite(null));
print("values:", Infinity, -Infinity, NaN, typeof NaN, NaN == NaN, 1 / Infinity, Infinity - Infinity);
print("__info:", typeof __info, __info.length > 20);

// eval
function withLocals(a) {
    var local = 3;
    return eval("a * 10 + local");
}
print("eval:", eval(5), eval(), eval("1;2"), eval("1;2;"), eval(""), eval("var zz = 1;"),
      withLocals(4), eval("if (true) 'yes'; else 'no';"));
var obj = {};
print("eval non-string:", eval(obj) === obj, eval(null), eval(true), typeof eval(eval));
eval("var fromEval = 10; function twice(x) { return 2 * x; }");
print("eval defines:", fromEval, twice(fromEval));
print("Object.prototype.eval:", ({}).eval("6 * 7"));
try { eval("1 }"); } catch (e) { print("caught", e.name, e.message); }
try { eval("throw 'inner'"); } catch (e) { print("caught", e); }
try { eval("null()"); } catch (e) { print("caught", e.name, e.message); }
var n = 0;
eval("n++; n++;");
print("eval runs in the caller:", n);
