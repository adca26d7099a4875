// The forms matrix: expressions of numbers, booleans and variables under
// every operator the interpreter can remember a form of, each in every
// place an expression can stand (statement, var initialiser, condition,
// call argument, loop update, do body, an untaken branch), with its
// variables as locals, parameters, program-level variables, variables of
// an enclosing function, members of a with object and a catch parameter.
// Each case runs its code six times: twice with numbers (the second reach
// makes the form), then with numbers again, then with an operand of
// another kind (the form must give up and the walker take over), then
// numbers, then -0, NaN and Infinity. (No text here has anything after a
// leading number, and no fraction meets a bit operator: those convert
// differently, as the README says.) The expected lines in forms.out were
// written by a reference engine (`make matrix` runs this file through node).
var out = typeof print != "undefined" ? print : console.log;
var ga, gb, gc, gx;

function show(v) {
  if (v === 0 && 1 / v < 0) return "-0";
  if (typeof v == "string") return '"' + v + '"';
  return String(v);
}

// Expressions over a, b, c and the assignable x.
var exprs = [
  "a + b", "a - b * c", "(a + b) * c", "a / b", "a % b", "a - -b", "- - a",
  "a << b", "a >> c", "a >>> b", "a & b | c", "a ^ b & c", "~a", "~~a ^ b",
  "a < b", "a <= b", "a > b", "a >= c", "a == b", "a != b", "a === b", "a !== c",
  "!a", "!!b", "+a", "-a", "a && b", "a || b", "!a || b && c", "a && b || c",
  "a ? b : c", "a ? b + 1 : c - 1", "a > 0 ? a : -a", "a < b == b < c",
  "(a, b)", "a * (b + (c - (a + (b - 1))))", "true && a", "false || b",
  "x = a + b", "x += a", "x -= b * c", "x *= a", "x /= b", "x %= c",
  "x <<= a", "x |= b", "x ^= c", "x >>>= a", "x = a ? b : c", "x = -x"
];

// Where the expression stands ({E}); t receives what is shown.
var places = [
  ["stmt", "t = {E};"],
  ["var", "var u = {E}; t = u;"],
  ["if", "if ({E}) t = 'T'; else t = 'F';"],
  ["arg", "t = id({E});"],
  ["for", "for (k = 0; k < 1; k = k + 1) t = {E};"],
  ["do", "do { t = {E}; if (t) break; } while (false);"],
  ["skipped", "if (no) t = {E}; else t = 'S';"],
  ["comma", "t = 0, t = {E};"],
  ["counted", "var n = 1; n = n * 2, t = {E}; n = n * 2, t = {E}; t = [t, n];"],
  ["while", "k = 0; while (k < 1 && ({E}) !== undefined) { k = k + 1; t = {E}; }"]
];

// How the variables are reached: each kind is a function of the values
// (a b c) run once per round.
var kinds = [
  ["local", "function (v) { var a = v[0], b = v[1], c = v[2], x = 5, t, k; {P} return t; }"],
  ["param", "function (a, b, c) { var x = 5, t, k; {P} return t; }"],
  ["global", "function (v) { ga = v[0]; gb = v[1]; gc = v[2]; gx = 5; var t, k; {P} return t; }"],
  ["outer", "function (v) { var a = v[0], b = v[1], c = v[2], x = 5; return (function () { var t, k; {P} return t; })(); }"],
  ["with", "function (v) { var o = {a: v[0], b: v[1], c: v[2], x: 5}, t, k; with (o) { {P} } return t; }"],
  ["catch", "function (v) { var b = v[1], c = v[2], x = 5, t, k; try { throw v[0]; } catch (a) { {P} } return t; }"]
];

var others = [["3", 2, 1], [true, null, undefined], [{}, 1, 2], ["x", 1, false], [7, 0, -7]];

function id(v) { return v; }
var no = false;

var cases = 0;
for (var e = 0; e < exprs.length; e++) {
  for (var p = 0; p < places.length; p++) {
    for (var k = 0; k < kinds.length; k++) {
      var expr = exprs[e];
      if (kinds[k][0] == "global") expr = expr.replace(/\b([abcx])\b/g, "g$1");
      var code = places[p][1].split("{E}").join(expr);
      var fn = eval("(" + kinds[k][1].split("{P}").join(code) + ")");
      var other = others[(e + p + k) % others.length];
      var rounds = [[1, 2, 3], [4, 5, 6], [7, -8, 2], other, [9, 10, 11], [-0, NaN, Infinity]];
      var line = [];
      for (var r = 0; r < rounds.length; r++) {
        var v = rounds[r];
        var got;
        try {
          got = kinds[k][0] == "param" ? fn(v[0], v[1], v[2]) : fn(v);
          got = show(got);
        } catch (err) {
          got = "threw";
        }
        line.push(got);
      }
      out(exprs[e] + " | " + places[p][0] + " | " + kinds[k][0] + ": " + line.join(" "));
      cases++;
    }
  }
}
out(cases + " cases");
