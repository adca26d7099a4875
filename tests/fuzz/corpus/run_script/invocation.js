// Function invocation: parameters and the arguments object, closures, the
// arguments of a function read from outside, recursion and the call depth.
function alias(a) { arguments[0] = 7; var x = a; a = 9; return x + "," + arguments[0] + "," + arguments.length; }
print(alias(1), alias());
function count() { return arguments.length + ":" + (arguments[2] === undefined); }
print(count(1, 2), count(1, 2, 3));
function outer(p, q) { return peek(); }
function peek() { var args = outer.arguments; return args.length + ":" + args[0] + ":" + args[1]; }
print(outer("x", "y", "z"));
print(typeof outer.arguments, outer.arguments);
function callee() { return typeof arguments.callee + " " + arguments.caller; }
function caller2() { return callee(); }
print(callee(), caller2());
function evalArgs(a) { return eval("arguments[0] + a"); }
print(evalArgs(20));
function makeCounter() { var n = 0; return function () { return ++n; }; }
var c1 = makeCounter(), c2 = makeCounter();
c1(); c1();
print(c1(), c2(), c1());
function seesLater() { var v = 1; var get = function () { return v; }; v = 2; return get(); }
print(seesLater());
function fact(n) { return n <= 1 ? 1 : n * fact(n - 1); }
print(fact(20));
var selfRef = function inner(n) { return n ? inner(n - 1) + 1 : 0; };
print(selfRef(10), typeof inner);
function defaults(a, b, c) { return [a, b, c].join("|"); }
print(defaults(1), defaults(1, 2, 3, 4));
function shadow(x) { var x; return x; }
print(shadow(5));
