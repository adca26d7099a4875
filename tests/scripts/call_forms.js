// Calls made from remembered forms, where they meet what only this
// interpreter shows: its error reports and messages, the nesting limit
// counted through calls, the completion of a call with no value, and
// callees that change between runs of the same place. Each place runs
// often enough to be read, remembered and then run from its form.

function show(v) { return typeof v == "string" ? '"' + v + '"' : String(v); }

// A callee that stops being a function: the call at the same place then
// fails as the walker reports it, with the message of the kind of callee.
var f = function (a) { return a + 1; };
function callF(i) { var r = f(i); return r; }
var seen = [];
for (var i = 0; i < 8; i++) {
  if (i == 5) f = i == 5 ? undefined : f;
  try { seen.push(callF(i)); } catch (e) { seen.push("caught: " + e.message); }
}
print(seen.join(" | "));
f = 7;
try { callF(1); } catch (e) { print("number callee: " + e.message); }
var o = {m: function () { return this.v; }, v: 4};
function callM() { return o.m(); }
var ms = [];
for (i = 0; i < 6; i++) {
  if (i == 3) o.m = "text";
  try { ms.push(callM()); } catch (e) { ms.push("caught: " + e.message); }
}
print(ms.join(" | "));

// A construction of something that is no constructor.
var K = function (x) { this.x = x; };
function build(i) { var k = new K(i); return k.x; }
var ks = [];
for (i = 0; i < 6; i++) {
  if (i == 4) K = Math.floor;
  try { ks.push(build(i)); } catch (e) { ks.push("caught: " + e.message); }
}
print(ks.join(" | "));

// The nesting limit counts the levels the walker is at when it calls:
// parentheses around a remembered call deepen every level of a recursion
// until one is refused, at the same depth however the call is made.
var depth = 0;
function deep(n) {
  depth++;
  return n <= 0 ? 0 : ((((((((((((((((((((((deep(n - 1)))))))))))))))))))))));
}
for (var round = 0; round < 3; round++) {
  depth = 0;
  try { deep(40); print("deep ran"); } catch (e) { print("deep refused at depth " + depth + ": " + e.message); }
}
function wide(n) {
  depth++;
  var r = n <= 0 ? 0 : ((((((((((((((wide(n - 1)))))))))))))));
  return r;
}
for (round = 0; round < 3; round++) {
  depth = 0;
  try { wide(40); print("wide ran"); } catch (e) { print("wide refused at depth " + depth + ": " + e.message); }
}

// The completion of a statement that calls a function with no value to
// give is passed on as the statement's own.
for (round = 0; round < 4; round++) print("completion " + show(eval("var q = 1; print('printing ' + round)")));
print("loop completion " + show(eval("for (var k = 0; k < 4; k++) print('k ' + k);")));
print("stored completion " + show(eval("for (var k = 0; k < 4; k++) q = print('s ' + k);")));

// A thrown value leaves a remembered call, and the store it was to make
// is not made.
var target = "before";
function thrower(n) { if (n > 2) throw "thrown " + n; return n; }
function storeFrom(n) { target = thrower(n); return target; }
for (i = 0; i < 6; i++) {
  try { storeFrom(i); } catch (e) { print(e + ", target " + target); }
}
print("target " + target);

// The callee changes the variable its result is stored into, and the
// function it was called through: the store is made into the variable the
// assignment named before the call, and the call runs to its end.
var cell = 0;
var shifty = function () { cell = "inside"; shifty = null; return "result"; };
function run() { cell = shifty(); return cell; }
print(run() + " " + cell + " " + shifty);
shifty = function () { cell = "again"; return "second"; };
for (i = 0; i < 4; i++) print(run() + " " + cell);

// Operators after a call convert what the call gave at the nesting of
// the expression: a conversion that nests deeply meets the limit at the
// same depth as when the expression is read from its tokens; one that
// cannot convert fails with the operator's report; values read before the
// call keep what they held then.
function id(v) { return v; }
function nest(k) { var o = "", c = ""; for (var j = 0; j < k; j++) { o += "("; c += ")"; } return o + "1" + c; }
var probe = 0;
var deepConv = {valueOf: function () { return eval(nest(probe)); }};
function viaTail() { var r; for (var i = 0; i < 3; i++) r = (1 + (2 + id(deepConv) * 2)) | 0; return r; }
// (The same where the operand after the call is read from its tokens.)
var two = 2;
function viaWalk() { var r; for (var i = 0; i < 3; i++) r = (1 + (2 + id(deepConv) * two)) | 0; return r; }
var tails = [["operators", viaTail], ["operands read", viaWalk]];
for (var t = 0; t < tails.length; t++) {
  var lastSaid = "";
  for (probe = 360; probe <= 400; probe++) {
    var said;
    try { said = "" + tails[t][1](); } catch (e) { said = e.message; }
    if (said != lastSaid) print("conversion nesting, " + tails[t][0] + ", " + probe + " brackets: " + said);
    lastSaid = said;
  }
}
var stubborn = {valueOf: function () { return {}; }, toString: function () { return {}; }};
function unconvertible(v) {
  var r = 0;
  for (var i = 0; i < 4; i++) {
    try { r = (r * 31 + id(i < 2 ? i : v) * 2) | 0; } catch (e) { r = e.message; }
  }
  return r;
}
print("unconvertible: " + unconvertible(stubborn));
var before = 10;
function bump() { before = 1000; return 1; }
function readsFirst() { var r = []; for (var i = 0; i < 4; i++) { before = i; r.push((before * 2 + bump()) | 0); } return r.join(); }
print("read before the call: " + readsFirst());
// Operands after the call are read when the call has run, with their own
// reports: a second call, a member of what the call changed, a variable
// that is not there yet.
var box = {inner: {v: 1}};
function spoil() { box = {}; return 1; }
function second() { return 10; }
function afterCall(i) {
  var r;
  try { r = id(i) + second() * 2 + (i > 2 ? spoil() + box.inner.v : box.inner.v) + late; } catch (e) { r = e.message; }
  return r;
}
var afterSeen = [];
for (i = 0; i < 5; i++) { if (i == 4) late = "!"; afterSeen.push(afterCall(i)); }
print("after the call: " + afterSeen.join(" | "));

// A call among the arguments of another: the outer callee's variable is
// read once the arguments have run (here the inner call changes it), the
// arguments after the inner call are read by the walker with its reports,
// and a throw from the inner call leaves the outer one unmade.
var swapA = function (v) { return "A" + v; }, swapB = function (v) { return "B" + v; };
var swap = swapA;
function changer(v) { swap = swap === swapA ? swapB : swapA; return v; }
function useSwap() { var r = []; for (var i = 0; i < 5; i++) r.push(swap(changer(i))); return r.join(); }
print("outer callee: " + useSwap() + " then " + useSwap());
function add(a, b) { return a + b; }
function walkedArgs() {
  var r = [];
  for (var i = 0; i < 5; i++) {
    try { r.push(add(add(i, 1), i > 2 ? notDefinedFn() : i)); } catch (e) { r.push(e.message); }
  }
  return r.join(" | ");
}
print("walked arguments: " + walkedArgs());
function thrower(v) { if (v > 2) throw "thrown " + v; return v; }
var outerMade = 0;
function counting(v) { outerMade++; return v; }
function innerThrows() {
  var r = [];
  for (var i = 0; i < 5; i++) { try { r.push(counting(thrower(i), i)); } catch (e) { r.push(e); } }
  return r.join(" | ") + ", outer calls made " + outerMade;
}
print("inner throws: " + innerThrows());

// A condition that calls, followed by something other than `)`: the call
// is made, then the statement fails, however often it ran before.
var calls = 0;
function counted(n) { calls++; return n; }
function faulty(n) { if (n > 3) { if (counted(n) ] return 1; } else if (counted(n)) return 2; return 3; }
for (i = 0; i < 6; i++) {
  try { print("faulty " + faulty(i) + " after " + calls + " calls"); } catch (e) { print(e.message + " after " + calls + " calls"); }
}

// An uncaught failure in a function called from a remembered call is
// reported as the walker reports it, at the place that failed.
function lastOne(n) { return n.missing.deeper; }
function callLast(n) { var r = lastOne(n); return r; }
for (i = 0; i < 4; i++) callLast({missing: {deeper: i}});
callLast({});
