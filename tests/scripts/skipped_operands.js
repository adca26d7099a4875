// Operands skipped by `?:`, `&&` and `||`, again and again at the same
// place: where a skipped operand ends is found once and remembered, and
// must stay what the grammar says whatever the operand holds (groups,
// function expressions, object and array literals, nested conditionals,
// line breaks, text with `:` or `?`), and whichever way the place is
// passed next. A faulty operand is reported only when it runs, however
// often it was skipped before.

function show(v) { return typeof v == "function" ? "function" : typeof v == "object" && v ? "object" : String(v); }

var cases = [
  function (c, n) { return c ? n + 1 : function (x) { return x ? { a: [x, "?:"] } : x; }(n); },
  function (c, n) { return c ? { k: n ? 1 : 2, m: "a:b" } : [n, (n > 1 ? "x" : "y")]; },
  function (c, n) { return c && (n > 1 ? n : -n) || "none"; },
  function (c, n) { return c || n ? c ? "both" : "n" : "neither"; },
  function (c, n) {
    return c ? n
      : (n
         + 10) * 2;
  },
  function (c, n) { return c ? n : c ? n * 3 : c || n && "inner"; },
  function (c, n) { return !c && n || /a:b?/.test("a:") && "re"; }
];

var lines = [];
for (var k = 0; k < cases.length; k++) {
  var got = [];
  for (var i = 0; i < 12; i++) got.push(show(cases[k](i % 3 == 0, i % 4)));
  lines.push(k + ": " + got.join(" "));
}
print(lines.join("\n"));

// A faulty branch, skipped many times, reported when it runs.
function pick(c, n) { return c ? n * 2 : (n +); }
function either(c, n) { return c || (n *); }
var s = 0;
for (var j = 0; j < 6; j++) s += pick(true, j) + either(j + 1, j);
print("sum " + s);
try { pick(false, 1); } catch (e) { print("caught " + e.message); }
try { either(0, 1); } catch (e) { print("caught " + e.message); }
for (j = 0; j < 3; j++) s += pick(true, j);
print("sum " + s);
