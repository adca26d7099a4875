// A host function (print) as the callback of the array methods and as the
// comparator of sort: the host reads every argument as a string, which
// converts the argument records it is given in place. The element, the
// index and the array each call passes must be records of the call's own,
// so the array, its elements and what filter keeps stay as they were.
// A constructor whose only reference is its own call's slot: the call's end
// must not free it while the construction still notes things on it.
var o = {n: 1, toString: function () { return "o" + this.n; }};
var a = [o, 2, "s"];
a.forEach(print);
print("forEach left", a.length, a[0] === o, typeof a[1], a[2]);
var m = a.map(print);
print("map gave", m.length, typeof m[0], a[0] === o);
var kept = a.filter(print);
print("filter kept", kept.length);
var some = [o, o].filter(function (x) { return true; });
print("filter with a script callback", some[0] === o, some[1] === o);
print("every", a.every(print), "some", a.some(print));
print("after", a.length, a[0] === o, o.n, typeof a[1]);

var pair = [{toString: function () { return "b"; }}, {toString: function () { return "a"; }}];
var first = pair[0], second = pair[1];
pair.sort(print);
print("sort left", pair.length, pair[0] === first || pair[0] === second, pair[1] === first || pair[1] === second,
      String(pair[0]) + String(pair[1]));
var nums = [2, 1];
nums.sort(print);
print("numbers", nums.join());
nums.sort(console.log);
print("again", typeof nums[0], typeof nums[1]);

// new F() where F is held only by the call
var holder = {F: function () { this.made = true; delete holder.F; }};
holder.F.prototype = {p: "proto"};
var x = new holder.F();
print("constructed", x.made, x.p, typeof holder.F);
var y = new (function () { this.q = 1; })();
print("constructed again", y.q);
var bound = {B: function () { this.r = 2; bound.B = null; }};
bound.B.prototype = {s: 3};
var z = new bound.B();
print("and again", z.r, z.s, bound.B);
