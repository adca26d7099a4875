// Array constructor and the methods that add, remove, move and copy elements.
function show(a) {
    var parts = [];
    for (var i = 0; i < a.length; i++) parts[i] = (i in a) ? typeof a[i] + ":" + a[i] : "hole";
    return "[" + parts.join(" ") + "] len " + a.length;
}

// constructor
print(Array().length, new Array().length, Array(3).length, (3 in Array(3)));
print(show(Array("3")), show(Array(1, "2")), show(new Array(2.9)));
print(Array(-1).length, Array(NaN).length, Array(4294967296 + 5).length);

// push and pop
var a = [1, 2];
print(a.push(3), a.push(), a.push(4, 5), show(a));
print(a.pop(), a.pop(), a.length, show(a));
print([].pop(), typeof [].pop());
var e = []; e.length = 3;
print(e.pop(), e.length);

// shift and unshift
var b = [1, 2, 3];
print(b.shift(), show(b));
print([].shift(), typeof [].shift());
print(b.unshift(7, 8), show(b));
print(b.unshift(), show(b));
var q = [];
for (var i = 0; i < 5; i++) q.push(i);
var taken = "";
while (q.length) taken += q.shift();
print(taken, q.length);

// splice
var s = [1, 2, 3, 4];
print(show(s.splice(-2)), show(s));
s = [1, 2, 3, 4, 5];
print(show(s.splice(1, 2, "a", "b", "c")), show(s));
print(show(s.splice(0, 0, 0)), show(s));
print(show(s.splice(2, -5)), show(s.splice(99, 1)), show(s));
print(show(s.splice(4, 100)), show(s));
print(s.splice(), show(s));
s = [1, 2, 3];
print(show(s.splice(1, undefined)), show(s));
s = [1, 2, 3, 4, 5, 6];
print(show(s.splice(1, 4, "x")), show(s));

// slice
var c = [1, 2, 3, 4, 5];
print(show(c.slice(1, -1)), show(c.slice(-2)), show(c.slice(3, 1)), show(c.slice()), show(c.slice(2, 99)));
print(show(c.slice(-99, 2)), show(c.slice(1, undefined)), show(c.slice("1", "3")));

// concat
print(show([1, 2].concat(3, [4, 5], [[6]], "7")));
print(show([].concat()), show([1].concat([])));
var inner = [1]; var outer = [].concat(inner); inner[0] = 9;
print(outer[0]);

// reverse
print(show([1, 2, 3].reverse()), show([].reverse()), show([1, 2, 3, 4].reverse()));
var r = [1, 2, 3]; print(r.reverse() === r);

// join and toString
print([1, null, 2].join(), [1, 2].join(""), [1, undefined, "x"].join("-"), [].join(), [5].join());
print([1, 2].join(undefined), [1, 2].join(null), [1.5, true, -0, 1e21].join(" "));
print([1, [2, [3, 4]], {}].toString(), String([[], []]));

// indexOf and lastIndexOf
var f = [1, 2, 3, 2, 1];
print(f.indexOf(2), f.indexOf(2, 2), f.indexOf(2, -1), f.indexOf(1, -1), f.indexOf(9), f.indexOf(1, 5));
print(f.lastIndexOf(2), f.lastIndexOf(2, 2), f.lastIndexOf(1, -2), f.lastIndexOf(1, -5), f.lastIndexOf(1, -6));
print(f.indexOf(), f.lastIndexOf(), [].indexOf(1), [].lastIndexOf(undefined));
print([NaN].indexOf(NaN), [0].indexOf(-0), ["1"].indexOf(1), [null].indexOf(undefined));
var o1 = {}; print([{}, o1].indexOf(o1), [o1, o1].lastIndexOf(o1));
var holes = []; holes[3] = 1;
print(holes.indexOf(undefined), holes.lastIndexOf(undefined), holes.indexOf(1));

// iteration methods
var seen = [];
print([4, 5].forEach(function (v, i, obj) { seen.push(v + "@" + i + "/" + obj.length); }));
print(seen.join(" "));
print(show([1, 2, 3].map(function (v) { return v * 2; })), show([1, 2, 3, 4].filter(function (v) { return v % 2; })));
print([1, 2, 3].every(function (v) { return v > 0; }), [1, 2, 3].every(function (v) { return v > 1; }));
print([1, 2, 3].some(function (v) { return v > 2; }), [1, 2, 3].some(function (v) { return v > 3; }));
print([].every(function () { return false; }), [].some(function () { return true; }), [1].every(), [1].some());
var visits = 0;
print([1, 2, 3, 4].some(function (v) { visits++; return v == 2; }), visits);
var sparse = [1]; sparse[2] = 3;
print(show(sparse.map(function (v) { return typeof v; })));
var ctxs = [];
var thisArg = {name: "T"};
[1].forEach(function () { ctxs.push(this.name); }, thisArg);
print(ctxs.join());
var grow = [1, 2];
grow.forEach(function (v) { if (grow.length < 5) grow.push(v); });
print(show(grow));

// generic use on array-likes
var like = {length: 3, 0: "a", 2: "c"};
print(Array.prototype.join.call(like, "-"), Array.join(like, "+"));
print(Array.push(like, "d"), like.length, like[3]);
print(Array.pop(like), like.length, like[3]);
print(Array.shift(like), like.length, like[0], like[1], (0 in like));
print(Array.indexOf(like, "c"), Array.lastIndexOf({length: "2", 0: 1, 1: 1}, 1));
print(show(Array.slice({length: 2, 0: "x", 1: "y"}, 1)), show(Array.concat({length: 1, 0: 5}, 6)));
function args() { return Array.prototype.slice.call(arguments, 1); }
print(show(args(1, 2, 3)));
print(Array.join("abc", "."), show(Array.map("ab", function (ch) { return ch + ch; })));
var counted = {length: 2, 0: "b", 1: "a"};
print(Array.sort(counted) === counted, counted[0], counted[1]);
var un = {0: 1};
print(Array.unshift(un, 0), un.length, un[0]);

// a prototype element shows through a hole
Array.prototype[1] = "P";
var withHole = [0]; withHole[2] = 2;
print(withHole.join(), withHole.indexOf("P"), show(withHole.slice(0)));
delete Array.prototype[1];
print(withHole.join());

// length past the largest index fails as a range error
var full = []; full.length = 4294967295;
try { full.push(1); } catch (err) { print(err.message); }
try { full.unshift(1); } catch (err) { print(err.message); }
try { [1].concat(full); } catch (err) { print(err.message); }
print(full.length, full.splice(-5, 1).length, full.length);

// a failing callback stops the method with its error
try { [1, 2].forEach(function () { throw "stop"; }); } catch (err) { print("caught", err); }
try { [1, 2].map(function (v) { if (v == 2) throw "at 2"; return v; }); } catch (err) { print("caught", err); }
try { [1].forEach(3); } catch (err) { print("caught", err.message); }
var bad = {toString: function () { throw "no text"; }};
try { [1, bad].join(); } catch (err) { print("caught", err); }
