// The call-site matrix: a call of every kind of callee (a program-level
// function, a local, a parameter, a closure's variable, an own method, an
// inherited method, a method through `this`, a construction, a built-in
// method of an object, a string and a boolean) with arguments of every kind of value, standing at every kind of
// place (a statement, the right side of a store into a local, a
// program-level variable, a closure's variable or a member, `return`,
// `var`, a condition, after `||` and `&&`, an argument, an operand, a
// branch of `?:`, a statement of a loop's body, a `return` leaving a
// loop; followed by operators, over values read before it, beside
// another call, before members, comparisons and branches read after it,
// stored into a member or an element, among the arguments of another call), calling functions that give a number, a string, an
// object, nothing, an object that converts or fails to convert, throw,
// change the variables the call stores into, or show their `this`. Each case's function is called five times, so the
// call is read, remembered and then run from what was remembered; each
// line shows the five results and the variables the calls stored into.
// The expected lines in callforms.out were written by a reference engine
// (`make matrix` runs this file through node).
var out = typeof print != "undefined" ? print : console.log;
var root = (function () { return this; })();
var g = 0;
var gfn = null;

function show(v) {
  if (typeof v == "string") return '"' + v + '"';
  if (typeof v == "function") return "function";
  if (v instanceof Array) return "[" + v.length + "]";
  if (typeof v == "object" && v !== null) return "{" + (v.k === undefined ? "" : show(v.k)) + "}";
  return String(v);
}
function id(v) { return v; }
function both(a, b, c) { return show(a) + "/" + show(b) + "/" + show(c); }
function Box(a, b) { this.k = show(a) + "/" + show(b); }

// What the called function does. `a` and `b` are its first arguments;
// `c` is the closure variable a call may store into. (Members are stored
// on `this` only when it is not the global object, which the shell gives
// as a program object.)
var behaviours = [
  ["number", "return arguments.length * 100 + (typeof a == 'number' ? a : 7);"],
  ["string", "return 's' + arguments.length + typeof a + typeof b;"],
  ["object", "if (this !== root) this.k = 'made'; return {k: arguments.length};"],
  ["nothing", "if (this !== root) this.k = arguments.length;"],
  ["throws", "throw 'boom' + arguments.length;"],
  ["changes", "c = 'changed'; g = 'changed'; return 5;"],
  ["this", "return this === root ? 'global' : this === o ? 'o' : this === inst ? 'inst' : " +
           "this === holder ? 'holder' : typeof this;"],
  ["converts", "return {valueOf: function () { g = 'seen'; return 4; }};"],
  ["fails late", "c = 'changed'; return {valueOf: function () { throw 'late'; }};"]
];

// How the callee is reached (CALL stands for the call with its arguments).
var callees = [
  ["program", "gfn"],
  ["local", "lf"],
  ["parameter", "pf"],
  ["closure", "cf"],
  ["own method", "o.m"],
  ["inherited", "inst.m"],
  ["this", "this.m"],
  ["construct", "new cf"],
  ["native", "arr.slice"],
  ["string method", "str.concat"],
  ["boolean method", "yes.toString"]
];

var argLists = ["()", "(i)", "(i, 'x')", "(o, i * 2 + 1)", "(arr[i % 2], o.k, null)"];

// Where the call stands. `x` is a local, `g` a program-level variable, `c`
// the closure's variable.
var places = [
  ["statement", "CALL;"],
  ["local", "x = CALL;"],
  ["program", "g = CALL;"],
  ["closure", "c = CALL;"],
  ["member", "o2.p = CALL; x = o2.p;"],
  ["return", "return show(CALL);"],
  ["var", "var v = CALL; x = v;"],
  ["condition", "if (CALL) x = 'yes'; else x = 'no';"],
  ["or", "x = i % 2 || CALL;"],
  ["and", "x = i % 2 && CALL;"],
  ["argument", "x = id(CALL);"],
  ["operand", "x = CALL + 1;"],
  ["branch", "x = i > 1 ? CALL : -i;"],
  ["loop", "for (var k = 0; k < 4; k++) { if (k > 1) x = CALL; c = k; }"],
  ["loop return", "for (var k = 0; k < 4; k++) { c = k; if (k == 2) return show(CALL) + ' ' + show(c); }"],
  // Operators after the call, and values read before it under it.
  ["operators after", "x = (CALL * 3) | 0;"],
  ["values under", "x = x * 31 + i + CALL;"],
  ["string under", "x = str + CALL + 1;"],
  ["program after", "g = 1 + CALL * 2;"],
  ["read before", "x = c + CALL;"],
  ["read after", "x = CALL - c;"],
  ["two calls", "x = CALL + CALL;"],
  ["statement after", "CALL * 2;"],
  ["return after", "return show((CALL | 0) + 1);"],
  ["loop after", "for (var k = 0; k < 4; k++) { x = (x | 0) * 2 + CALL; c = k; }"],
  // Operands after the call that are read once it has run.
  ["member after", "x = CALL + o.k * 2;"],
  ["compared after", "x = CALL == 5;"],
  ["in after", "x = CALL + ('k' in o) + arr.length;"],
  ["branch after", "x = CALL - (i > 2 ? i : c);"],
  ["logic after", "x = (CALL || 3) * 2;"],
  ["and after", "x = CALL && c + 'x';"],
  ["condition after", "x = CALL ? i : c;"],
  // Stores into members and elements of what the call, or what follows it, gives.
  ["member store after", "o2.p = CALL * 2 + i; x = o2.p;"],
  ["element store", "a2[i % 3] = CALL; x = a2[i % 3];"],
  ["element store after", "a2[i] = i + CALL; x = a2.length + ' ' + a2[i];"],
  ["this store", "this.q = CALL - 1; x = this.q;"],
  // The call among the arguments of another call, before and after
  // arguments the other call reads once it has run.
  ["arguments after", "x = both(CALL, i, c);"],
  ["arguments before", "x = both(c, i * 2, CALL);"],
  ["method outer", "x = str.concat(CALL, c);"],
  ["nested outer", "x = id(id(CALL) + 1) * 2;"],
  ["construct outer", "x = show(new Box(CALL, c));"]
];

function caseSource(callee, args, place, behaviour) {
  var call = callee + args;
  return "(function (pf0) {" +
    " var c = 0, cf = function (a, b) { " + behaviour + " };" +
    " var o = {m: cf, k: 3}, o2 = {}, a2 = [], arr = [o, 'y'], str = 'q', yes = true;" +
    " function P() {} P.prototype.m = cf; var inst = new P();" +
    " gfn = cf;" +
    " var holder = {m: cf, run: function (pf, i) {" +
    "   var lf = cf, x = 0;" +
    "   " + place.split("CALL").join(call) +
    "   return show(x) + ' ' + show(c) + ' ' + show(g);" +
    " }};" +
    " return function (i) { return holder.run(cf, i); };" +
    "})";
}

for (var ci = 0; ci < callees.length; ci++) {
  for (var pi = 0; pi < places.length; pi++) {
    for (var bi = 0; bi < behaviours.length; bi++) {
      var args = argLists[(ci + pi + bi) % argLists.length];
      var run = eval(caseSource(callees[ci][1], args, places[pi][1], behaviours[bi][1]))();
      var results = [];
      g = 0;
      for (var i = 0; i < 5; i++) {
        try {
          results.push(run(i));
        } catch (e) {
          results.push("caught " + (typeof e == "string" ? e : "error"));
        }
      }
      out(callees[ci][0] + " " + args + " at " + places[pi][0] + ", " + behaviours[bi][0] + ": " + results.join(" | "));
    }
  }
}
