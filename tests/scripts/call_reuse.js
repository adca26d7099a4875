// Activations used again: the one a function keeps, the spares its nested
// invocations leave behind, and chunks of locals kept by an emptied
// activation. Small enough for the out-of-memory sweep; the call matrix
// (tests/matrix/calls.js) covers the shapes at length.
var kept = [];
function walk(d, text) {
  var a = d * 2, b = a + 1, c = b + 1, e = c + 1, f = e + 1, g = f + 1, h = g + 1, i = h + 1, j = i + 1;
  if (d % 2) { var odd = "o" + d; }
  var mark = typeof odd == "string" ? odd : "-";
  var s = text + d + mark + j;
  if (d % 3 == 0) kept.push(function () { return s + "/" + a; });
  return d > 0 ? s + "," + walk(d - 1, text) : s;
}
print(walk(4, "x"));
print(walk(7, "y"));
print(walk(2, "z"));
var all = [];
for (var k = 0; k < kept.length; k++) all.push(kept[k]());
print(all.join(" "));

function fib(n) { return n < 2 ? n : fib(n - 1) + fib(n - 2); }
print(fib(12), fib(3), fib(15));

function outer(base) {
  function down(n, acc) { var t = acc + base; return n ? down(n - 1, t) : t; }
  return down;
}
var d1 = outer(1), d2 = outer("s");
print(d1(10, 0), d2(3, ""), d1(2, 5));

function counted() { var n = arguments.length; return n ? n + counted.apply(null, [].slice.call(arguments, 1)) : 0; }
print(counted(1, 2, 3, 4), counted(), counted("a", "b"));

function many(a, b, c, d, e, f, g, h, i, j) { return [a, b, c, d, e, f, g, h, i, j].join(""); }
print(many(1, 2, 3), many(1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11), many());

function twice(x, y, x) { return x + ":" + y; }
print(twice(1, 2, 3), twice(1, 2), twice(4, 5, 6));
