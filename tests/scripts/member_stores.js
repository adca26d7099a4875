// Stores that add members and counts kept in members, the ways a
// constructor, a counter and a growing array make them: appended records
// and elements, in place changes of numbers, and what stays with the
// general store (names no property had yet, computed members, wrappers).
function Point(x, y) { this.x = x; this.y = y; this.hits = 0; }
Point.prototype.hit = function () { this.hits++; return ++this.hits; };
var pts = [];
for (var i = 0; i < 40; i++) pts[i] = new Point(i, -i);
var sum = 0;
for (i = 0; i < 40; i++) sum += pts[i].x - pts[i].y + pts[i].hit();
print("points", sum, pts[39].hits, pts.length);

// A name first given here: its key is made by the general store, then
// every later object takes the fast one.
var made = [];
for (i = 0; i < 5; i++) { var o = {}; o.freshNameOnlyHere = i; o.freshNameOnlyHere++; made.push(o.freshNameOnlyHere); }
print("fresh", made.join(","));

// Counters on shapes that differ: the name found at another record.
var shapes = [{n: 1}, {a: 0, n: 2}, {a: 0, b: 0, n: 3}, {n: "4"}, {n: null}, {}];
var seen = [];
for (var r = 0; r < 3; r++)
  for (i = 0; i < shapes.length; i++) seen.push(shapes[i].n++);
print("counters", seen.join(","));
print("after", shapes[3].n, shapes[4].n, shapes[5].n);

// Elements: holes filled, appended, counted down in place.
var a = [1, 2, 3];
a[5] = 6;
a[3]--;
a[0]--;
--a[1];
a[6] = "s";
print("elements", a.length, a[0], a[1], a[3], a[4], a[5], a[6]);
var plain = {};
for (i = 0; i < 4; i++) plain[i] = i * i;
plain[2]++;
print("plain elements", plain[0], plain[1], plain[2], plain[3], plain.length);

// A number key addresses an element, truncated toward zero; a string key
// only when it is an index in decimal digits.
var f = {};
f[1.5] = 7;
f["2.5"] = 8;
print("fractions", f[1], f[1.9], f.hasOwnProperty("1.5"), f["2.5"], f[2]);

// Computed members and special bases keep the general store.
var arr = [];
arr.length++;
arr.length += 2;
function g() {}
g.length++;
g.count = 1;
g.count++;
var w = new String("ab");
w.extra = 1;
w.extra++;
var num = 5;
num.p = 1;
print("general", arr.length, g.length, g.count, w.extra, w.length, num.p);
var args = (function () { return arguments; })(1, 2);
args[0]++;
args[3] = 4;
print("arguments", args[0], args[3], args.length);
// Elements of an arguments object are the parameters' values: read and
// written in place, in a loop run from its form too.
function mixes(a, b) {
  var t = 0;
  for (var i = 0; i < 50; i++) { arguments[i % 3] = i; t += arguments[i % 3] + arguments[0]; }
  return [t, a, b, arguments.length, arguments[2], arguments[5]].join(",");
}
print("argument elements", mixes(1, 2, 3), mixes(1), mixes());
// Named members of an arguments object: `length` and stored ones read
// directly (in a loop's condition too), `callee` and `caller` computed.
function named() {
  var s = 0;
  for (var i = 0; i < arguments.length; i++) s += arguments[i];
  arguments.extra = s;
  arguments.length = 2;
  var seen = [];
  for (var r = 0; r < 3; r++)
    seen.push(arguments.length, arguments.extra, typeof arguments.callee, typeof arguments.caller,
              typeof arguments.hasOwnProperty, arguments.missing);
  return seen.join(",");
}
print("argument names", named(1, 2, 3, 4), named());
