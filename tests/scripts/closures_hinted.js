// Variables of the function around a closure, read and written through
// what the last resolution remembered, in every way the closure's own
// activation may come to hold the name first: a var run part way through,
// a parameter (with and without an arguments object), its own name as a
// function expression, eval, with and catch scopes; closures of several
// invocations whose locals sit at other places; two levels out.
function counter(start, step) {
  var value = start;
  return function () { value = (value + step) | 0; return value; };
}
var c1 = counter(0, 3), c2 = counter(100, -1), seen = [];
for (var i = 0; i < 40; i++) seen.push(c1() + c2());
print("counters", seen.slice(0, 5).join(","), seen[39]);

// A var of the same name runs part way through: before it, the name is the
// outer variable; after it, the local (until the invocation ends).
function outerFirst() {
  var v = "outer";
  return function () { var before = v; var v = "inner"; return before + ">" + v; };
}
var of = outerFirst(), r = [];
for (i = 0; i < 5; i++) r.push(of());
print("var part way", r.join(" "));

// The locals of the function around sit at other places in other
// invocations: the remembered place names another variable there.
function placed(first) {
  if (first) { var a = 1, b = 2; }
  var target = first ? "first" : "second";
  return function () { return target; };
}
var p1 = placed(true), p2 = placed(false), pr = [];
for (i = 0; i < 6; i++) pr.push(i % 2 ? p1() : p2());
print("places", pr.join(","));

// Parameters of the closure itself, with and without an arguments object.
function params() {
  var x = "outer-x", y = "outer-y";
  return [function (x) { return x; }, function (y) { arguments.length; return y; }, function () { return x + y; }];
}
var fs = params(), pp = [];
for (i = 0; i < 3; i++) pp.push(fs[0]("p" + i), fs[1]("q" + i), fs[1](), fs[2]());
print("parameters", pp.join(","));

// The closure's own name, and eval adding a local.
function named() {
  var self = "outer-self", ev = "outer-ev";
  var f = function self() { return typeof self; };
  var g = function () { var first = ev; eval("var ev = 'eval-ev'"); return first + "/" + ev; };
  return [f, g];
}
var ng = named(), nr = [];
for (i = 0; i < 3; i++) nr.push(ng[0](), ng[1]());
print("own name and eval", nr.join(","));

// with and catch scopes inside the closure see their names first.
function scopes() {
  var w = "outer-w", e = "outer-e";
  return function (k) {
    var got = [w, e];
    with ({w: "with-w"}) got.push(w);
    try { throw "caught-e"; } catch (e) { got.push(e); }
    got.push(w, e);
    return got.join("/");
  };
}
var sc = scopes();
print("scopes", sc(1), sc(2));

// Two levels out, and a closure that outlives its maker and recurses.
function twoLevels() {
  var far = 10;
  return function () { return function () { far++; return far; }; };
}
var deep = twoLevels()(), dr = [];
for (i = 0; i < 4; i++) dr.push(deep());
print("two levels", dr.join(","));
function recurse(n) {
  var depth = 0;
  var walk = function (k) { depth++; return k <= 0 ? depth : walk(k - 1); };
  return walk(n) + "," + depth;
}
print("recursive", recurse(5), recurse(10));

// One place reading the name before and after the closure's activation
// comes to hold it (a var run by eval, a var statement in a loop).
function turns() {
  var t = "outer-t", u = "outer-u";
  return function () {
    var got = [];
    for (var k = 0; k < 3; k++) {
      got.push(t, u);
      if (k == 0) eval("var t = 'own-t'");
      if (k == 1) { var u = "own-u"; }
    }
    return got.join("/");
  };
}
var tu = turns();
print("turns", tu(), tu());

// Loops in a closure storing into the variables around it, run from their
// forms; at pass 40 eval gives the closure a local of one of the names, and
// the stores after it go there.
function stores() {
  var sum = 0, n = 0, s = 0;
  return function (turn) {
    for (var k = 0; k < 100; k++) {
      sum = sum + k;
      n++;
      s += 2;
      if (turn && k == 40) eval("var sum = 1000");
    }
    return [sum, n, s].join(",");
  };
}
var st = stores();
print("closure stores", st(false), st(true), st(false));
