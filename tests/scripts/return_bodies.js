// Functions whose body starts with a `return`: getters, small helpers,
// recursion. Their `return` runs from its form when it has one; every way
// such a body can be entered and left gives what the whole body gives.
function add(a, b) { return a + b; }
function mul(a, b) {
  return a * b
}
function lead(a) { ; return a - 1; }
function nothing() { return; }
function lone(a) { return a; }
function early(a) { return a + 1; print("never"); a = 0; }
function cond(n) { return n < 2 ? n : cond(n - 1) + cond(n - 2); }
function twice(f, x) { return f(f(x)); }
function Box(v) { this.v = v; }
Box.prototype.get = function () { return this.v; };
Box.prototype.plus = function (o) { return new Box(this.v + o.v); };
var log = [];
for (var i = 0; i < 60; i++) {
  log.push(add(i, 1) + mul(i, 2) + lead(i) + lone(i) + early(i) + twice(lone, i));
  if (nothing() !== undefined) log.push("value");
}
print(log.slice(0, 5).join(" ") + " ... " + log[59]);
print(cond(15));
var b = new Box(1);
for (i = 0; i < 40; i++) b = b.plus(new Box(i));
print(b.get());
// The value changes kind: a string from the form, then numbers again.
var kinds = [];
for (i = 0; i < 30; i++) kinds.push(add(i % 3 == 0 ? "s" : i, 2));
print(kinds.join(","));
// A return that throws: the caller catches it, every time.
function thrower(o) { return o.f() + 1; }
var caught = 0;
for (i = 0; i < 20; i++) {
  try {
    thrower({ f: function () { if (i % 4 == 0) throw "t" + i; return i; } });
  } catch (e) {
    caught++;
  }
}
print("caught " + caught);
for (i = 0; i < 6; i++) {
  try {
    print("called " + thrower({ f: i < 4 ? function () { return i; } : i }));
  } catch (e) {
    print("not callable at " + i + ": " + e);
  }
}
// A member of null read in the returned expression fails as in any block.
function member(o) { return o.x.y; }
for (i = 0; i < 12; i++) {
  try {
    if (member({ x: i < 10 ? { y: i } : null }) != i) print("wrong");
  } catch (e) {
    print("failed at " + i + ": " + e);
  }
}
// Deep recursion through a return-first body meets the limits the same way.
function deep(n) { return n == 0 ? 0 : 1 + deep(n - 1); }
var reached = 0;
for (var n = 10; n <= 200; n += 10) {
  try {
    reached = deep(n);
  } catch (e) {
    print("deep " + n + ": " + e);
    break;
  }
}
print("reached " + reached);
// Such bodies reached every other way: as constructors (an object, a
// primitive and `this` returned), with a function declared after the
// return, reading `arguments`, through eval, as closures that keep their
// variables, through call and apply, as a named function expression, from
// a `try` with `finally` and from a `do` loop left by `break`.
function P(x) { return { x: x }; }
function Q(x) { return x; }
function R(x) { return this; }
function hoisted(a) { return inner(a) * 2; function inner(v) { return v + 1; } }
function count() { return arguments.length + (arguments[0] || 0); }
function evaled(a) { return eval("a + 1"); }
function counter(n) { return function () { return n++; }; }
var fact = function f(n) { return n < 2 ? 1 : n * f(n - 1); };
var fin = [];
function guarded(i) { try { return add(i, i); } finally { fin.push(i); } }
var c1 = counter(10), c2 = counter(100), parts = [];
for (i = 0; i < 30; i++) {
  var p1 = new P(i), q1 = new Q(i), r1 = new R(i);
  parts.push(p1.x + (typeof q1) + (r1 instanceof R) + hoisted(i) + count(i, 2) + count() +
             evaled(i) + c1() + c2() + add.call(null, i, 1) + add.apply(null, [i, 2]) + fact(i % 6) +
             guarded(i));
}
print(parts.slice(0, 3).join(" | ") + " ... " + parts[29]);
print("finally " + fin.length + " counters " + c1() + " " + c2());
var k = 0, seen = 0;
do {
  seen += lone(k);
  if (add(k, 1) > 20) break;
  k++;
} while (true);
print("do " + k + " " + seen);
