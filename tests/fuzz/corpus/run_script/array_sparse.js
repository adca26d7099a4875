// Methods over a huge length with few elements visit only the elements
// present; the gaps read as undefined.
var h = [];
h[4000000000] = "x";
print(h.length, h.join("").length, h.join(""), h.toString === Array.prototype.toString);
print(h.indexOf("x"), h.indexOf(undefined), h.indexOf(undefined, 5), h.lastIndexOf(undefined), h.lastIndexOf("x"));
print(h.indexOf("x", -1), h.lastIndexOf("x", -2), h.indexOf("y"));
var g = []; g[0] = undefined; g[3000000000] = 1;
print(g.indexOf(undefined), g.lastIndexOf(undefined), g.lastIndexOf(undefined, 0));
var full = []; for (var i = 0; i < 10; i++) full[i] = i; full[4000000000] = "end";
print(full.indexOf(undefined), full.lastIndexOf(9), full.lastIndexOf(undefined, 9));

// moves
print(h.shift(), h.length, h[3999999999]);
print(h.unshift("a", "b"), h.length, h[0], h[1], h[4000000001]);
var part = h.slice(-3);
print(part.length, part.join("|"));
var removed = h.splice(1, 1);
print(removed.length, removed[0], h.length, h[4000000000]);
removed = h.splice(-1, 1, "y", "z");
print(removed.join(), h.length, h[4000000000], h[4000000001]);
var big = [].concat(h, [1]);
print(big.length, big[4000000002], big[0]);

// reverse and sort
var r = []; r[0] = "first"; r[1] = "second"; r[3999999999] = "last";
r.reverse();
print(r[0], r[3999999998], r[3999999999], (1 in r), r.length);
var s = []; s[10] = "b"; s[3000000000] = "a"; s[2000000000] = undefined;
s.sort();
print(s[0], s[1], s[2], (2 in s), (10 in s), (3000000000 in s), s.length);

// iteration reads each index: a callback that stops early is cheap
var visits = 0;
print(h.some(function (v, i) { visits++; return i == 2; }), visits);
print(h.every(function (v) { return v === "a"; }));

// the gaps of a long array still give their separators
var gaps = []; gaps[1000000] = 1;
print(gaps.join("").length, gaps.join().length);
