// Members added by stores that run from remembered forms: a constructor's
// objects (made with room for what its last object ended with), objects
// that lose a member and get it back, objects with a member of the same
// name along the prototype chain, objects past the size at which their
// store gets an index, and bases that are no plain object. Each place runs
// many times, so its stores are remembered and then run from the form.
var out = typeof print != "undefined" ? print : console.log;

function keys(o) {
  var k = [];
  for (var n in o) if (o.hasOwnProperty(n)) k.push(n + "=" + o[n]);
  return k.join(",");
}

function P(x, y) { this.x = x; this.y = y; this.sum = x + y; }
var ps = [];
for (var i = 0; i < 6; i++) ps.push(keys(new P(i, i * 2)));
out("constructed: " + ps.join(" | "));

// Deleted and added again: the record goes after the others.
function readd(o, i) { o.b = i; o.c = i + 1; delete o.b; o.b = i + 2; o.d = o.b + o.c; return keys(o); }
var rs = [];
for (var i = 0; i < 6; i++) rs.push(readd({a: 0}, i));
out("re-added: " + rs.join(" | "));

// A member of the same name on the prototype: the object gets its own.
function Base() {}
Base.prototype.v = 100;
function own(o, i) { o.v = i; o.w = o.v * 2; return keys(o) + "/" + Base.prototype.v; }
var os = [];
for (var i = 0; i < 6; i++) os.push(own(new Base(), i));
out("shadowed: " + os.join(" | "));

// Twelve members, added one by one, then read back by name.
function wide(i) {
  var o = {};
  o.m0 = i; o.m1 = i + 1; o.m2 = i + 2; o.m3 = i + 3; o.m4 = i + 4; o.m5 = i + 5;
  o.m6 = i + 6; o.m7 = i + 7; o.m8 = i + 8; o.m9 = i + 9; o.m10 = i + 10; o.m11 = i + 11;
  return o.m0 + o.m5 + o.m11 + ":" + keys(o).length;
}
var ws = [];
for (var i = 0; i < 6; i++) ws.push(wide(i));
out("wide: " + ws.join(" "));

// Bases that are not plain objects: an array, a function, a string
// wrapper, a number; each store repeated at the same place.
function put(b, i) { b.extra = i; b.other = i * 3; return typeof b + ":" + b.extra + "," + b.other; }
var bases = [function () { return [1, 2]; }, function () { return function () {}; },
             function () { return new String("s"); }, function () { return 5; },
             function () { return {}; }];
for (var k = 0; k < bases.length; k++) {
  var r = [];
  for (var i = 0; i < 4; i++) r.push(put(bases[k](), i));
  out("base " + k + ": " + r.join(" "));
}

// The same place meeting objects that have the member, lack it, and
// inherit it, in turn.
function mixed(o, i) { o.p = i; return o.hasOwnProperty("p") + ":" + o.p; }
var C = function () {};
C.prototype.p = "inherited";
var ms = [];
for (var i = 0; i < 9; i++) ms.push(mixed(i % 3 == 0 ? {p: 1} : i % 3 == 1 ? {} : new C(), i));
out("mixed: " + ms.join(" ") + " " + C.prototype.p);
