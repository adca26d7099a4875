// Smaller standard points: parseFloat reads decimal numbers only; a
// parameter name given twice names the last parameter; a binary operator
// whose left operand fails while converting leaves the right one alone;
// with on a primitive makes no names visible; join(undefined) and dates
// before 1970.

// parseFloat: signs, then a decimal number or Infinity.
var texts = ["0x10", "0X1f", "-0x10", "0x", "0b1", "010", "00x1", "1e3x", "1e", "1e+", ".5", "5.", "-.5e-1",
             "Infinity", "-Infinityx", "\t-+3.5e1x", "--5", "- 5", "-\n5", "\n5", "x", "", "  ", ".", "+.",
             "1e309", "1e-400", "12.34.56", "0.0000001", "1_000"];
var out = [];
for (var i = 0; i < texts.length; i++) {
    var v = parseFloat(texts[i]);
    out.push(v === 0 && 1 / v < 0 ? "-0" : String(v));
}
print("parseFloat:", out.join(" "));
print("parseFloat of values:", parseFloat(0x10), parseFloat(1e21), parseFloat(true), parseFloat(null),
      parseFloat({toString: function () { return "0x7"; }}), parseFloat([" 2.5", 3]));

// Parameters named twice: the last one of the name takes its argument, in
// every way a function can be made, called and read.
function two(x, x) { return x; }
function three(a, x, x, x) { return [a, x].join(); }
function withArguments(x, x) { return [x, arguments[0], arguments[1], arguments.length].join(); }
function assigned(x, x) { x = "set"; return [x, arguments[0], arguments[1]].join(); }
function declared(x, x) { var x; return x; }
function redeclared(x, x) { var x = "var"; return [x, arguments[1]].join(); }
function closing(x, x) { return function () { return x; }; }
function inner(x, x) { function read() { return x; } return read(); }
function viaEval(x, x) { return eval("x"); }
function typeOf(x, x) { return typeof x; }
var expr = function (y, y) { return y; };
var made = Function("z", "z", "return z");
var calls = [[two, [1, 2]], [two, [1]], [two, []], [two, [1, 2, 3]], [three, [1, 2, 3, 4]], [three, [1, 2]],
             [withArguments, [1, 2]], [withArguments, [1]], [assigned, [1, 2]], [declared, [1, 2]],
             [redeclared, [1, 2]], [inner, [1, 2]], [viaEval, [1, 2]], [typeOf, ["s"]], [typeOf, ["s", 2]],
             [expr, [1, 2]], [made, [1, 2]]];
out = [];
for (i = 0; i < calls.length; i++) out.push(String(calls[i][0].apply(null, calls[i][1])));
print("repeated parameters:", out.join(" | "));
print("closure:", closing(1, 2)(), closing(1)(), two.length, three.length, made.length);
// Called again, the function still gives the last argument (the definition
// is kept between calls).
for (i = 0, out = []; i < 3; i++) out.push(two(i, i * 10), withArguments(i, i * 10), inner(i, -i));
print("again:", out.join());

// Binary operators convert the left operand first; when its conversion
// throws, the right operand is not converted at all.
var log = [];
function operand(name, throws) {
    var o = {};
    o.valueOf = function () { log.push(name + ".valueOf"); if (throws) throw name + " threw"; return 2; };
    o.toString = function () { log.push(name + ".toString"); if (throws) throw name + " threw"; return "2"; };
    return o;
}
var operators = ["+", "-", "*", "/", "%", "<<", ">>", ">>>", "&", "|", "^", "<", ">", "<=", ">=", "==", "!="];
for (i = 0; i < operators.length; i++) {
    var results = [];
    var cases = [[true, false], [false, true], [true, true], [false, false]];
    for (var c = 0; c < cases.length; c++) {
        log = [];
        var L = operand("L", cases[c][0]);
        var R = cases[c][0] || operators[i].charAt(0) != "=" && operators[i].charAt(0) != "!" ? operand("R", cases[c][1]) : 3;
        var outcome;
        try {
            outcome = eval("L " + operators[i] + " R");
        } catch (e) {
            outcome = "caught " + e;
        }
        results.push(outcome + " [" + log.join(" ") + "]");
    }
    print(operators[i] + ":", results.join("; "));
}
// The same in compound assignments, and with a primitive on either side.
log = [];
var target = operand("T", true);
try { target += operand("R", false); } catch (e) { print("+=:", e, log.join(" ")); }
log = [];
try { var n = operand("L", true) * 5; } catch (e) { print("* number:", e, log.join(" ")); }
log = [];
try { n = "s" + operand("R", true); } catch (e) { print("string +:", e, log.join(" ")); }
log = [];
try { n = operand("L", false) - operand("R", true); } catch (e) { print("right threw:", e, log.join(" ")); }

// with on a primitive: no names come through it; on an object they do.
var length = "global";
with ("abc") var s1 = length;
with (new String("abc")) var s2 = length;
with (5) var s3 = typeof toFixed;
with (true) var s4 = typeof valueOf;
with ({toFixed: 1}) var s5 = toFixed;
print("with:", s1, s2, s3, s4, s5);

// join(undefined) joins with ",", as join() does.
print("join:", [1, 2].join(undefined), [1, 2].join(), [1, 2].join(null), [1, 2].join(""), [1].join(undefined),
      [].join(undefined), [null, undefined, 3].join(undefined));
// Dates before 1970: the day is rounded down, no field is negative.
function fields(d) {
    return [d.getUTCFullYear(), d.getUTCMonth(), d.getUTCDate(), d.getUTCHours(), d.getUTCMinutes(),
            d.getUTCSeconds(), d.getUTCMilliseconds(), d.getUTCDay()].join("/");
}
print("new Date(-1):", fields(new Date(-1)), new Date(-1).getTime());
print("earlier:", fields(new Date(-86400000)), fields(new Date(-86400001)), fields(new Date(-1000)),
      fields(new Date(-62135596800001)));
