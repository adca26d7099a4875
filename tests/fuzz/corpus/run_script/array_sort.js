// sort: a heapsort whose sift order and comparison rules decide where equal
// keys and mixed kinds end up.
print([3, 20, 100].sort(), ["b", "a", 1].sort(), ["10", "9", "1"].sort());
print([undefined, 2, 1].sort(function (a, b) { return a - b; }).join("|"));
var calls = [];
[3, undefined, 1, undefined, 2].sort(function (a, b) { calls.push(typeof a + "/" + typeof b); return a - b; });
print(calls.join(" ").indexOf("undefined"), calls.length > 0);
var mixed = [1, "1", 1].sort();
print(typeof mixed[0], typeof mixed[1], typeof mixed[2]);
print([2, 1].sort(), [1].sort(), [].sort().length, [NaN, 1, NaN, 0].sort());
print([true, false, null, "m", 5].sort(), [-1, -2, 0, -0.5].sort());
print([5, 1, 4].sort(function (a, b) { return b - a; }), [5, 1, 4].sort(function () { return "-1"; }));
var arr = [3, 1, 2];
print(arr.sort() === arr, arr);
print([{v: 2}, {v: 1}].sort(function (a, b) { return a.v - b.v; })[0].v);
var objs = [{toString: function () { return "b"; }}, {toString: function () { return "a"; }}];
print(objs.sort()[0]);
try { [1, 2, 3].sort(function () { throw "cmp"; }); } catch (e) { print("caught", e); }
try { [{toString: function () { throw "text"; }}, 1].sort(); } catch (e) { print("caught", e); }
try { [1, 2].sort(5); } catch (e) { print("caught", e.message); }
print([2, 1].sort(undefined));
var holes = [3]; holes[4] = 1;
holes.sort();
print(holes.length, holes[0], holes[1], holes[4], (4 in holes));

// The heapsort step by step, written out in script, against the built-in
// sort on many arrays of mixed values.
function less(a, b, cmp) {
    if (cmp) {
        if (a === undefined) return false;
        if (b === undefined) return true;
        return cmp(a, b) < 0;
    }
    if (typeof a == "number" && typeof b == "number") return a < b;
    if (typeof a == "string" && typeof b == "string") return a < b;
    if (a === undefined) return false;
    if (b === undefined) return true;
    return String(a) < String(b);
}
function sift(v, p, size, cmp) {
    while (true) {
        var c = 2 * p;
        if (c > size) return;
        if (c < size && less(v[c - 1], v[c], cmp)) c = c + 1;
        if (!less(v[p - 1], v[c - 1], cmp)) return;
        var t = v[p - 1]; v[p - 1] = v[c - 1]; v[c - 1] = t;
        p = c;
    }
}
function modelSort(v, cmp) {
    var n = v.length;
    if (n < 2) return v;
    for (var p = Math.floor(n / 2); p >= 1; p--) sift(v, p, n, cmp);
    for (var s = n - 1; s >= 1; s--) {
        var t = v[0]; v[0] = v[s]; v[s] = t;
        sift(v, 1, s, cmp);
    }
    return v;
}
var seed = 12345;
function next(n) {
    seed = (seed * 1103515245 + 12345) % 2147483648;
    return Math.floor(seed / 65536) % n;
}
var pool = [0, 1, 2, 9, 10, 100, -1, 0.5, NaN, "0", "1", "10", "9", "a", "B", "", undefined, null, true, false];
var byKey = function (a, b) { return (a.k - b.k); };
var mismatches = 0, checksum = 0;
for (var round = 0; round < 200; round++) {
    var n = next(14);
    var a = [], b = [];
    for (var i = 0; i < n; i++) { var x = pool[next(pool.length)]; a.push(x); b.push(x); }
    a.sort();
    modelSort(b);
    for (var i = 0; i < n; i++) {
        var same = a[i] === b[i] || (a[i] != a[i] && b[i] != b[i]);
        if (!same) mismatches++;
    }
    // Equal keys: objects keep their identity, so their order shows the sift order.
    var c = [], d = [];
    for (var i = 0; i < n; i++) { var o = {k: next(3), id: i}; c.push(o); d.push(o); }
    c.sort(byKey);
    modelSort(d, byKey);
    for (var i = 0; i < n; i++) {
        if (c[i] !== d[i]) mismatches++;
        checksum = (checksum * 31 + c[i].id) % 1000003;
    }
}
print("mismatches", mismatches, "checksum", checksum);

// A large array: numbers end in order, and a comparator sees each pair it needs.
var big = [];
for (var i = 0; i < 2000; i++) big.push((i * 7919) % 2003);
big.sort(function (a, b) { return a - b; });
var ordered = true;
for (var i = 1; i < big.length; i++) if (big[i - 1] > big[i]) ordered = false;
print(ordered, big[0], big[1999]);
