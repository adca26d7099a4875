// The members matrix: stores and increments through member references, on
// every kind of base an object model distinguishes (plain objects of
// several shapes holding values of every type, constructed objects with a
// member inherited or shadowed, arrays, functions, arguments objects,
// string wrappers, regular expressions, primitives), through every kind of
// key (a name, `length`, `lastIndex`, whole-number keys inside and past the
// end, a name given as a string, a negative number), by every
// store and change (plain and compound assignment, ++ and -- both ways).
// Each case runs three times at the same place, so that what one base left
// remembered there meets the next base (a property found at another place,
// a property added, an element appended). Each line shows the expression's
// value, the member read back and whether the base has it as its own.
// The expected lines in members.out were written by a reference engine
// (`make matrix` runs this file through node).
var out = typeof print != "undefined" ? print : console.log;

function show(v) {
  if (v === 0 && 1 / v < 0) return "-0";
  if (typeof v == "string") return '"' + v + '"';
  if (typeof v == "object" && v !== null) return "object";
  if (typeof v == "function") return "function";
  return String(v);
}

function C() {}
C.prototype.p = 10;
function D() { this.p = 3; }
D.prototype.p = 5;
function args() { return arguments; }
var shared = {};
var k = "p";

// Bases: a maker, and the keys it is not tried with: engines after ES3
// give wrappers' characters, a function's `length` and an array's `length`
// attributes of their own, and this interpreter keeps a regular
// expression's `lastIndex` as a whole number. (A fraction key such as 1.5
// addresses element 1 here, so it is left out too.)
var bases = [
  ["({p: 1})", ""],
  ["({p: \"7\"})", ""],
  ["({q: 0, r: 1, p: null})", ""],
  ["({p: true})", ""],
  ["({p: undefined})", ""],
  ["({})", ""],
  ["({q: 1})", ""],
  ["({r: 1, q: 2, p: 2.5, length: 3})", ""],
  ["({p: shared})", ""],
  ["new C()", ""],
  ["new D()", ""],
  ["[1, 2, 3]", "length"],
  ["[]", "length"],
  ["(function () {})", "length"],
  ["args(1, 2)", ""],
  ["new String(\"ab\")", "[0] length [\"1\"]"],
  ["new RegExp(\"a\", \"g\")", "lastIndex"],
  ["5", ""],
  ["true", ""],
  ["\"ab\"", "[0] [\"1\"]"]
];

var keys = ["p", "q", "length", "lastIndex", "[0]", "[4]", "[\"p\"]", "[k]", "[\"1\"]", "[-1]"];

var ops = [
  " = 7", " = \"s\"", " = shared", "++", "--", "pre++", "pre--", " += 2", " -= \"1\"", " = x@ + 1"
];

function access(key) { return key.charAt(0) == "[" ? key : "." + key; }
function opText(key, op) {
  var ref = "x" + access(key);
  if (op == "pre++") return "++" + ref;
  if (op == "pre--") return "--" + ref;
  return ref + op.replace("@", access(key));
}

var src = "";
var names = [];
for (var ki = 0; ki < keys.length; ki++) {
  for (var oi = 0; oi < ops.length; oi++) {
    var name = "f" + ki + "_" + oi;
    src += "function " + name + "(x) { var r = " + opText(keys[ki], ops[oi]) + "; return r; }\n";
    src += "function " + name + "s(x) { " + opText(keys[ki], ops[oi]) + "; }\n";
    names.push([name, ki, oi]);
  }
}
eval(src);

function own(x, key) {
  if (typeof x != "object" && typeof x != "function") return "-";
  var n = key.charAt(0) == "[" ? eval(key.substring(1, key.length - 1)) : key;
  return Object.prototype.hasOwnProperty.call(x, n) ? "own" : "not own";
}

for (var rep = 0; rep < 3; rep++) {
  for (var bi = 0; bi < bases.length; bi++) {
    for (var ni = 0; ni < names.length; ni++) {
      var key = keys[names[ni][1]];
      if ((" " + bases[bi][1] + " ").indexOf(" " + key + " ") >= 0) continue;
      if (key == "lastIndex" && bases[bi][0].indexOf("RegExp") < 0 && bi % 4 != 0) continue;
      var x = eval(bases[bi][0]);
      var r = eval(names[ni][0] + "(x)");
      var line = rep + " " + bases[bi][0] + " x" + access(key) + " " + ops[names[ni][2]] + ": " + show(r) +
                 " " + show(eval("x" + access(key))) + " " + own(x, key);
      var y = eval(bases[bi][0]);
      eval(names[ni][0] + "s(y)");
      line += " | " + show(eval("y" + access(key))) + " " + own(y, key);
      if (rep == 0 || bi % 3 == rep) out(line);
    }
  }
}
