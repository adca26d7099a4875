// Function calls: small functions, recursion, closures and methods.
function add(a, b) { return a + b; }
function fib(n) { return n < 2 ? n : fib(n - 1) + fib(n - 2); }
function counter() { var c = 0; return function () { c++; return c; }; }
var acc = 0;
for (var i = 0; i < 100000; i++) acc = add(acc, i) | 0;
for (var r = 0; r < 6; r++) acc = (acc + fib(18)) | 0;
var ctr = counter();
for (var k = 0; k < 50000; k++) ctr();
var obj = { v: 3, get: function (x) { return this.v * x; } };
for (var m = 0; m < 50000; m++) acc = (acc + obj.get(m)) | 0;
print("calls: checksum=" + ((acc + ctr()) | 0));
