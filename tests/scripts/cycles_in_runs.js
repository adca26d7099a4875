// Cyclic garbage made while the run goes on is reclaimed during the run, and
// whatever is still in use at that moment survives: values held only by the
// evaluator, by natives in the middle of their work (sort, forEach, map,
// replace, join, conversions), by a pending finally, by with and catch
// scopes and by for-in. junk() makes enough cycles to start a collection
// from inside each of those places.
function junk(n) {
    for (var i = 0; i < (n || 3000); i++) {
        var a = {v: i}, b = {w: a};
        a.b = b;
        var f = function () { return f; };
    }
    return 1;
}
function make(n) { var self = {n: n}; self.get = function () { return self.n; }; return self; }

// closures, activations and pairs, many times over
var total = 0;
for (var i = 0; i < 20000; i++) total += make(i).get();
print("closures", total);
function outer(n) { function inner() { return n; } return inner() + 1; }
total = 0;
for (var i = 0; i < 20000; i++) total += outer(i);
print("inner functions", total);

// a value held only by the evaluator: the left operand while the right one
// is converted, and a key while it turns into a name
var left = {v: 40, valueOf: function () { return this.v; }};
var right = {valueOf: function () { junk(); return 2; }};
print("operands", left + right, {v: 1, valueOf: function () { return 100; }} * right);
var keyed = {};
keyed[{toString: function () { junk(); return "k"; }}] = {payload: "kept"};
print("key", keyed.k.payload);
print("call arguments", (function (a, b, c) { return a.x + b + c.x; })({x: 1}, junk(), {x: 2}));

// natives in the middle of their work
var items = [];
for (var i = 0; i < 30; i++) { var it = {n: (i * 7) % 30, self: null}; it.self = it; items.push(it); }
items.sort(function (a, b) { if (a.n % 10 == 0) junk(300); return a.n - b.n; });
var sorted = true;
for (var i = 1; i < items.length; i++) if (items[i - 1].n > items[i].n || items[i].self !== items[i]) sorted = false;
print("sort", sorted, items.length, items[29].n);
var list = [{k: 1}, {k: 2}, {k: 3}];
var mapped = list.map(function (x, i, arr) { junk(); var c = {x: x}; c.c = c; return x.k * 10 + arr.length; });
print("map", mapped.join());
var seen = 0;
[{k: 5}, {k: 6}].forEach(function (x) { junk(); seen += x.k; });
print("forEach", seen);
print("filter", [{k: 1}, {k: 2}, {k: 3}].filter(function (x) { junk(500); return x.k != 2; }).length);
var text = "a1b2c3".replace(/\d/g, function (d) { junk(); var o = {d: d}; o.o = o; return "<" + o.o.d + ">"; });
print("replace", text);
var parts = [{toString: function () { junk(); return "x"; }}, {toString: function () { junk(); return "y"; }}];
print("join", parts.join("+"), String({toString: function () { junk(); return "converted"; }}));

// a pending finally keeps the exception thrown (held by nothing else)
function pendingThrow() {
    try {
        var e = {kept: "thrown"};
        e.e = e;
        throw e;
    } finally {
        e = null;
        junk();
    }
}
try { pendingThrow(); } catch (x) { print("finally throw", x.kept, x.e === x); }
try {
    try { throw {kept: "rethrown"}; } finally { junk(); }
} catch (x) { print("finally nested", x.kept); }

// scopes: with, catch and for-in
with ({w: {v: "with"}}) { junk(); print("with", w.v); }
try { throw {v: "caught"}; } catch (c) { junk(); print("catch", c.v); }
var walked = [];
var bag = {a: {v: 1}, b: {v: 2}, c: {v: 3}};
for (var k in bag) { junk(300); walked.push(k + bag[k].v); if (k == "a") delete bag.c; }
print("for-in", walked.join());
// objects held only by the statement that uses them
walked = [];
for (var k in (function () { var o = {a: {v: 1}, b: {v: 2}}; o.o = o; return o; })()) { junk(300); walked.push(k); }
with ((function () { var o = {inside: "with only"}; o.o = o; return o; })()) { junk(); print(walked.join(), inside, o.inside); }
switch ((function () { var o = {k: "switched"}; o.o = o; return o; })().k) { case "switched": junk(); print("switch"); }

// arguments objects, bound functions and prototype cycles
function keep() { var o = {args: arguments}; o.o = o; return arguments.length; }
total = 0;
for (var i = 0; i < 5000; i++) total += keep(i, i);
print("arguments", total);
function T() { this.me = this; }
T.prototype.constructor = T;
total = 0;
for (var i = 0; i < 5000; i++) { var t = new T(); t.f = function () { return t; }.bind(t); total += t.f() === t ? 1 : 0; }
print("bound and constructed", total);
var chain = null;
for (var i = 0; i < 2000; i++) { chain = {prev: chain, i: i}; chain.self = chain; }
var n = 0;
for (var q = chain; q; q = q.prev) n++;
print("live chain", n, chain.self.i);
