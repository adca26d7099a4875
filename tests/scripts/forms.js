// Expressions that run again and again, the way numeric loops run them,
// where what they compute must not depend on whether the interpreter has
// remembered a form of them: values that change kind part-way through a
// loop, locals declared in another order on another call, with and catch
// scopes appearing around the same code, assignments into variables that
// hold texts and objects, members and elements, statements run from forms,
// eval'd code run in a loop, and faulty parts reached late or never.

// Integer and floating-point loops.
function collatz(limit) {
  var total = 0;
  for (var n = 1; n < limit; n++) {
    var v = n;
    while (v != 1) {
      if (v % 2 == 0) v = v / 2; else v = 3 * v + 1;
      total++;
    }
  }
  return total;
}
function mandel(w, h, max) {
  var count = 0;
  for (var py = 0; py < h; py++) {
    var ci = (py * 2.0) / h - 1.0;
    for (var px = 0; px < w; px++) {
      var cr = (px * 3.0) / w - 2.0, zr = 0.0, zi = 0.0, i = 0;
      while (i < max && zr * zr + zi * zi <= 4.0) {
        var t = zr * zr - zi * zi + cr;
        zi = 2.0 * zr * zi + ci;
        zr = t;
        i++;
      }
      count += i;
    }
  }
  return count;
}
function bits(seed, n) {
  var x = seed | 0, acc = 0;
  for (var i = 0; i < n; i++) {
    x ^= x << 13; x ^= x >> 17; x ^= x << 5;
    acc = (acc + (x >>> 16)) & 0x7fffffff;
  }
  return acc;
}
print("collatz " + collatz(200) + ", mandel " + mandel(12, 8, 30) + ", bits " + bits(2463534242, 500));

// A value changes kind in the middle of a loop, in every operand position.
function mixed(values) {
  var out = [], acc = 0, i, v;
  for (i = 0; i < values.length; i++) {
    v = values[i];
    acc = acc * 2 + v;
    out.push(v * 2 - 1, v < 3, !v || v > 1, v ? v + 1 : -1, (acc, v) + 0);
  }
  return out.join(" ");
}
print(mixed([1, 2, 3, "4", 5, true, 6, null, 7, undefined, 8, {}, 9, [2], 10, -0, NaN]));

// Compound assignments into a local whose value changes kind.
function compound(start) {
  var s = start, log = [];
  for (var i = 0; i < 6; i++) {
    s += i;
    s -= 1;
    s *= 2;
    log.push(typeof s + ":" + s);
    if (i == 2) s = "x";
    if (i == 3) s = 4;
  }
  return log.join(" ");
}
print(compound(1));
print(compound("a"));

// The same function called with its locals declared in another order, so
// the place a variable was found at last time names another variable now.
function order(first) {
  if (first) { var a = 1; var b = 2; } else { var b = 20; var a = 10; }
  var r = 0;
  for (var i = 0; i < 4; i++) r = r + a * 3 - b;
  return r;
}
print("order " + order(true) + " " + order(false) + " " + order(true) + " " + order(false));

// with and catch scopes around the same expression.
var shadow = {k: 100};
function scoped(useWith) {
  var k = 1, r = 0;
  for (var i = 0; i < 3; i++) {
    if (useWith) { with (shadow) { r = r + k * 2; } }
    else { try { throw 7; } catch (k) { r = r + k * 2; } }
    r = r + k;
  }
  return r;
}
print("scoped " + scoped(false) + " " + scoped(true) + " " + scoped(false) + " " + scoped(true));

// A parameter changed through arguments, and one not passed.
function params(a, b) {
  var r = [];
  for (var i = 0; i < 4; i++) {
    r.push(a + i * 2);
    if (i == 1) arguments[0] = "s";
    r.push(b === undefined ? "u" : b - 1);
  }
  return r.join(",");
}
print("params " + params(1, 5) + " / " + params(2));

// Program-level variables, in a loop of the program itself.
var g1 = 3, g2 = 4, gr = 0;
for (var gi = 0; gi < 5; gi++) {
  gr = gr + g1 * g2 - gi;
  if (gi == 2) g1 = "3";
}
print("globals " + gr);

// A faulty part of an expression is reported when it is first reached, on
// the fifth time round the loop, not when the expression is first read;
// a faulty statement that is never reached is never reported, however
// often the statements around it run.
function late(n) {
  var r = 0, i;
  try {
    for (i = 0; i < n; i++) r = i < 4 ? r + i * 2 : r * ;
  } catch (e) {
    return "caught at " + i + ": " + e.message + " (r " + r + ")";
  }
  return "ran: " + r;
}
print(late(4) + " / " + late(4) + " / " + late(6) + " / " + late(6));
function neverReached(n) {
  var r = 0;
  for (var i = 0; i < n; i++) { r = r + i; if (i > 100) r = r + * 2; }
  return r;
}
print("never reached " + neverReached(5) + " " + neverReached(5));

// eval'd code that loops.
print("eval " + eval("var e1 = 0; for (var ei = 0; ei < 10; ei++) e1 = e1 * 3 + ei % 4; e1"));

// A comma expression whose first part stores and whose later part meets a
// value of another kind: the store is made once.
function storeThenOther(v) {
  var i = 0, j = 0, k;
  for (k = 0; k < 5; k++) {
    i = i + 1, j = j + 1;
    if (k == 2) j = v;
  }
  var m = 0, w = 1;
  for (k = 0; k < 5; k++) {
    m += 2, w = w * 2;
    if (k == 1) w = v;
  }
  return i + " " + j + " " + m + " " + w;
}
print("store then other " + storeThenOther("s") + " / " + storeThenOther(null));

// Statements whose expressions are forms, as the values of eval'd code
// (the completion is the last statement's value) and as the statements of
// blocks nested up to and past the nesting limit.
print("completion " + eval("var c1 = 2, c2 = 3; c1 * c2; c1 = c1 + 1;") + " " +
      eval("c1 + c2; if (c1) c1 * c2; for (var ci = 0; ci < 3; ci++) c1 * ci;") + " " +
      eval("c1 * 10; c1 < c2; { c2 - 1; ; }") + " " + eval("c1 - 1, c2 - 1; var c3 = 4;"));
// Members in forms: computed members (a function's length and prototype, an
// array's and a String object's length, a RegExp's lastIndex), an array's
// length written, an inherited member that becomes an own one and is
// deleted again, elements past a shortened array.
function members() {
  var out = [], gv = 5;
  function F(a, b) {}
  F.prototype.k = 3;
  var arr = [1, 2, 3], s = new String("abc"), fobj = F, re = /x/g, n = 0, i;
  for (i = 0; i < 4; i++) {
    out.push(fobj.length + i, arr.length * 2, s.length + 0, re.lastIndex + 1, fobj.prototype.k + 0);
    n = gv, n += 1;
    arr.length = arr.length;
    out.push(n, (new F()).k, F.k === undefined);
    if (i == 1) { arr[5] = 1; F.prototype = { k: 9 }; }
    if (i == 2) gv = "q";
  }
  function G() { this.v = 1; }
  G.prototype.w = 2;
  var g = new G(), t = 0;
  for (i = 0; i < 5; i++) {
    t = t + g.v * g.w;
    g.w = g.w + 1;
    if (i == 2) delete g.w;
  }
  var a2 = [];
  a2[0] = 1;
  a2[1] = 2;
  for (i = 0; i < 4; i++) {
    a2[1] = a2[0] + a2[1];
    a2[0] += 1;
    if (i == 1) a2.length = 1;
  }
  return out.join(",") + " / " + [t, g.w, G.prototype.w].join(" ") + " / " + a2.join("|") + " " + a2.length;
}
print("members " + members());

// Elements read from forms where the array has holes, ends early, or finds
// the element along its prototype chain.
function holes() {
  var a = new Array(6), b = [1, 2, 3], r = [], i;
  delete b[1];
  a[2] = 5;
  Array.prototype[4] = 7;
  var o = {};
  o[1] = 9;
  for (i = 0; i < 8; i++) r.push((!a[i]) + "" + (b[i] === undefined) + (a[i] + 1) + (o[i] == null));
  delete Array.prototype[4];
  for (i = 0; i < 6; i++) r.push(a[i] === undefined);
  return r.join(",");
}
print("holes " + holes());

// An assignment whose target ends a && or || is no member store, whichever
// way it is read: each reach is the same error.
function notTargets() {
  var r = [], o = {p: 1}, c = 1, k;
  for (k = 0; k < 4; k++) {
    try { eval("c && o.p = 5"); r.push("ran " + o.p); } catch (e) { r.push(e.message); }
    try { if (c || o.p = 6) r.push("if " + o.p); } catch (e) { r.push(e.message); }
  }
  return r.join(" / ");
}
print("not targets " + notTargets());

// Strings in forms: held for truth, equality and their length, never
// stored and never a form's value; a string where a number stood gives up
// an operator, a store, a hole filled, a statement's value (its completion)
// and a loop's pass, and the walker takes over where it did.
function strings() {
  var r = [], s = "ab", t = "ab", n = 0, a = [], o = {p: 1}, x = 0, i, v;
  for (i = 0; i < 6; i++) {
    if (i == 3) { s = "abc"; t = 3; }
    if (i == 4) { s = [1, 2]; t = "ab"; }
    if (i == 5) { s = {length: "7"}; t = null; }
    r.push((s == "ab") + "" + (s === t) + (s.length + 1) + (!s) + (s != t && n < 2) + (s ? 1 : 0) + (t == 3));
    x = s.length;
    o.p = i % 2 ? "odd" : i;
    a[i * 2] = i == 2 ? "two" : i;
    v = eval("n = n + 1; i < 3 ? 'str' + i : i");
    r.push(x + "/" + o.p + "/" + v);
  }
  var w = "", k = 0;
  for (i = 0; i < 40; i++) {
    k = k + 1;
    if (i == 30) w = "w";
    w == "" ? k : w;
    k = k + (w != "");
  }
  return r.join(",") + " | " + a.join("|") + " | " + k + " " + eval("for (i = 0; i < 3; i++) { k = k + 1; i < 2 ? k : 'last'; }");
}
print("strings " + strings());
