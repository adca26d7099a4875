// Array building: push, unshift and splice on growing arrays, slice and concat copies.
var a = [];
for (var i = 0; i < 200000; i++) a.push(i * 3);
var b = a.slice(1000, 150000);
var c = b.concat(a, [1, 2, 3]);
var q = [];
for (var i = 0; i < 2000; i++) q.unshift(i);
for (var i = 0; i < 500; i++) q.splice(i, 1, i, i + 1);
var taken = 0;
for (var i = 0; i < 1000; i++) taken += q.shift();
var sum = 0;
for (var i = 0; i < c.length; i += 97) sum = (sum + c[i]) % 1000003;
print("array_build: checksum=" + ((sum * 7 + a.length + b.length + c.length + q.length + taken) % 1000003));
