// The language core: values, operators, statements, functions and closures.
print("hello", 1 + 2, "x" + 4, 3 + 4 + "5", "3" * "4");
var a = [1, 2, 3];
print(a.length, a[1], a[5]);
function fact(n) { if (n <= 1) return 1; return n * fact(n - 1); }
print(fact(10));
var o = {x: 1, y: "two"};
o.z = o.x + 5;
for (var k in o) print(k, o[k]);
var s = 0;
for (var i = 0; i < 10; i++) { if (i == 5) continue; s += i; }
print(s);
function mk() { var c = 0; return function () { c++; return c; }; }
var c1 = mk(), c2 = mk();
c1(); c1();
print(c1(), c2());
try { undefinedFn(); } catch (e) { print("caught", e.message); }
try { throw "boom"; } catch (e) { print("thrown", e); }
switch (3) { case 1: print("one"); break; case 3: print("three"); case 4: print("four"); break; default: print("d"); }
print(typeof a, typeof fact, typeof undefinedThing, 0.1 + 0.2, 1e21, -0);
print(1 << 33, -1 >>> 0, -1 >> 28, -5 % 3, 7 / 2);
print(null == undefined, null == 0, "1" == true, NaN == NaN);
print("a" < "b", "10" < "9", "10" < 9);
outer: while (true) { while (true) { break outer; } }
print("after outer");
var n = 0; do { n++; } while (n < 5); print(n);
print(hoisted());
function hoisted() { return "hoisted"; }
