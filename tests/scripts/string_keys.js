// Strings stored by remembered forms, and members read and stored through
// string keys: a loop's statements store the same string more times than a
// string's shares go (the forms give the store to the walker there, which
// copies it), and read and store members through keys that name own
// properties, inherited ones, missing ones, the text of an array index, the
// empty name, on plain objects, arrays, functions, string objects and
// arguments objects, plainly and with compound operators. node prints the
// same.
var out = typeof print != "undefined" ? print : console.log;

function manyShares(n) {
  var s = "shared", arr = [], o = {}, last, i;
  for (i = 0; i < n; i++) {
    arr[i] = s;
    last = arr[i];
    o.p = last;
  }
  var same = 0;
  for (i = 0; i < n; i++) if (arr[i] === s) same++;
  return [same, last, o.p, arr.length].join(",");
}
out(manyShares(10));
out(manyShares(600));

function keyed(base, keys, rounds) {
  var seen = [], i, k, v;
  for (i = 0; i < rounds; i++) {
    k = keys[i % keys.length];
    v = base[k];
    base[k] = i;
    seen.push(String(v));
    v = base[k];
    base[k] += 2;
    seen.push(String(base[k]));
  }
  return seen.join(" ");
}
function Proto() {}
Proto.prototype.inh = "from proto";
var cases = [
  ["plain", function () { return {a: 1, b: "two", c: null}; }],
  ["inherited", function () { var o = new Proto(); o.own = 5; return o; }],
  ["array", function () { var a = [1, 2, 3]; a.name = "arr"; return a; }],
  ["function", function () { var f = function () {}; f.a = 7; return f; }],
  ["string", function () { var s = new String("abc"); s.a = 1; return s; }],
  ["arguments", function () { return (function () { arguments.a = 3; return arguments; })(9, 8); }]
];
var keySets = [["a", "b", "c"], ["inh", "own", "missing"], ["0", "1", "length"], ["", "a"], ["x" + 1, "a"]];
for (var c = 0; c < cases.length; c++) {
  for (var k = 0; k < keySets.length; k++) {
    // (A string object's characters are elements here, which engines after
    // ES3 make read-only.)
    if (cases[c][0] == "string" && k == 2) continue;
    var got;
    try { got = keyed(cases[c][1](), keySets[k], 7); } catch (e) { got = "threw " + e.name; }
    out(cases[c][0] + " [" + keySets[k].join("|") + "]: " + got);
  }
}

// Keys that turn from strings into numbers and back, and values that turn
// into strings, in one place.
function mixed(n) {
  var o = {a: 1, b: 2}, a = [10, 20, 30], keys = ["a", 1, "b", 2, "c"], s = 0, t = "", i, k;
  for (i = 0; i < n; i++) {
    k = keys[i % 5];
    o[k] = (o[k] | 0) + i;
    a[k] = i % 3 ? "s" + i : i;
    t = t + a[k];
    s = s + (o[k] | 0);
  }
  return [s, t.length, o.a, o.b, o[1], o[2], o.c, a.a, a[1], a[2], a.c].join(",");
}
out(mixed(5));
out(mixed(200));
