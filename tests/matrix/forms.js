// The forms matrix: expressions of numbers, booleans and variables under
// every operator the interpreter can remember a form of, each in every
// place an expression can stand (statement, var initialiser, condition,
// call argument, loop update, do body, an untaken branch, a statement of
// its own, a comma's first or last part, alone in a loop's body, in a
// taken and an untaken branch, in a `do` body left by `break` on its
// second pass, in a `try` block, `return`), with its
// variables as locals, parameters, program-level variables, variables of
// an enclosing function, members of a with object and a catch parameter;
// increments of x; lone operands; and members of an object o (own, inherited, missing, on a null) and
// elements of an array arr, read and stored through o, arr and this.
// Each case runs its code six times: twice with numbers (the second reach
// makes the form), then with numbers again, then with an operand of
// another kind (the form must give up and the walker take over), then
// numbers, then -0, NaN and Infinity. (No text here has anything after a
// leading number, and no fraction meets a bit operator: those convert
// differently, as the README says.) The expected lines in forms.out were
// written by a reference engine (`make matrix` runs this file through node).
var out = typeof print != "undefined" ? print : console.log;
var ga, gb, gc, gx, go, garr;

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
  "x <<= a", "x |= b", "x ^= c", "x >>>= a", "x = a ? b : c", "x = -x",
  "o.p + a", "o.q.r * b", "o.p = a + b", "o.p += a", "o.q.r -= b", "x = o.p",
  "o.q === null", "o.n == null", "a == null", "o.q !== o.n", "o.q && o.q.r",
  "o.p ? o.q : o.n", "arr[1] + a", "arr[a & 1] * 2", "arr[0] = b", "arr[1] *= c",
  "arr.length + a", "arr[(a, 2)] - 1", "this.p - a", "this.p = b", "o\n.p + 1",
  "o.p == a", "arr[0] === a", "(o.p = a) + 1", "o[\"p\"] + a", "o.q.r = o.p = a",
  "x++", "x--", "++x", "--x", "x++ + a", "a - --x",
  "(a && b) + 1", "a + (b && c)", "a + (b || 1)", "a * (b ? c : 2)", "(a ? b : c) - 1",
  "a - (b, c)", "a + (b && 2) * c", "(a || b) * (c && 3)",
  "a", "this", "5", "o.p++", "o.q.r--", "this.p++", "arr[0]++", "o.p--",
  "-o.p++", "o.p++ + a", "o[\"p\"]++", "(o).p++"
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
  ["while", "k = 0; while (k < 1 && ({E}) !== undefined) { k = k + 1; t = {E}; }"],
  ["alone", "{E}; t = k;"],
  ["comma first", "{E}, t = k;"],
  ["comma last", "k, {E};"],
  ["loop alone", "for (k = 0; k < 3; k = k + 1) {E};"],
  ["branch alone", "if (!no) {E}; else t = 'S'; t = [t, k];"],
  ["skipped alone", "if (no) {E}; else t = 'S';"],
  ["do alone", "do { {E}; if (k) break; k = 1; } while (true); t = k;"],
  ["try alone", "try { {E}; t = 'done'; } catch (err) { t = 'caught'; }"],
  ["return", "return {E};"]
];

// How the variables are reached: each kind is a function of the values
// (a b c) run once per round.
var kinds = [
  ["local", "function (v) { var a = v[0], b = v[1], c = v[2], o = v[3], arr = v[4], x = v[5], t, k; {P} return t; }"],
  ["param", "function (a, b, c, o, arr, x0) { var x = x0, t, k; {P} return t; }"],
  ["global", "function (v) { ga = v[0]; gb = v[1]; gc = v[2]; go = v[3]; garr = v[4]; gx = v[5]; var t, k; {P} return t; }"],
  ["outer", "function (v) { var a = v[0], b = v[1], c = v[2], o = v[3], arr = v[4], x = v[5]; return (function () { var t, k; {P} return t; }).call(this); }"],
  ["with", "function (v) { var w = {a: v[0], b: v[1], c: v[2], o: v[3], arr: v[4], x: v[5]}, t, k; with (w) { {P} } return t; }"],
  ["catch", "function (v) { var b = v[1], c = v[2], o = v[3], arr = v[4], x = v[5], t, k; try { throw v[0]; } catch (a) { {P} } return t; }"]
];

// The object and array of a round: in round 2 o's p is inherited, in round
// 3 (the other kinds) o.q is null and arr a string, in round 4 arr is short.
// x is 5, but in round 3 a value of another kind.
function makeObject(r, v) {
  var o;
  if (r == 2) {
    var O = function () {};
    O.prototype.p = v[0];
    o = new O();
    o.q = {r: v[1]};
    o.n = null;
    return o;
  }
  if (r == 3) return {p: v[0], q: null, n: 0};
  return {p: v[0], q: {r: v[1]}, n: null};
}
function makeArray(r, v) { return r == 3 ? "abc" : r == 4 ? [v[0]] : [v[0], v[1], v[2]]; }

var others = [["3", 2, 1], [true, null, undefined], [{}, 1, 2], ["x", 1, false], [7, 0, -7]];

function id(v) { return v; }
var no = false;

var cases = 0;
for (var e = 0; e < exprs.length; e++) {
  for (var p = 0; p < places.length; p++) {
    for (var k = 0; k < kinds.length; k++) {
      var expr = exprs[e];
      if (kinds[k][0] == "global") expr = expr.replace(/(^|[^.\w])([abcxo]|arr)\b/g, "$1g$2");
      var code = places[p][1].split("{E}").join(expr);
      var fn = eval("(" + kinds[k][1].split("{P}").join(code) + ")");
      var other = others[(e + p + k) % others.length];
      var rounds = [[1, 2, 3], [4, 5, 6], [7, -8, 2], other, [9, 10, 11], [-0, NaN, Infinity]];
      var line = [];
      for (var r = 0; r < rounds.length; r++) {
        var xv = r == 3 ? ["5", null, {}, true, "x"][(e + p + k) % 5] : 5;
        var v = rounds[r].concat([makeObject(r, rounds[r]), makeArray(r, rounds[r]), xv]);
        var got;
        try {
          got = kinds[k][0] == "param" ? fn.call(v[3], v[0], v[1], v[2], v[3], v[4], v[5]) : fn.call(v[3], v);
          got = show(got);
        } catch (err) {
          got = "threw";
        }
        if (/[.[]/.test(exprs[e])) got += "/" + show(v[3].p) + "," + show(v[3].q && v[3].q.r) + "," + show(v[4][0]) + "," + show(v[4][1]);
        line.push(got);
      }
      out(exprs[e] + " | " + places[p][0] + " | " + kinds[k][0] + ": " + line.join(" "));
      cases++;
    }
  }
}
out(cases + " cases");
