// Element reads and writes through every kind of base and key: dense
// elements, holes, elements missing from the object but present on its
// prototype, fractional and negative keys, wrappers and the arguments object.
var a = [10, 20, 30];
print(a[0], a[2], a[3], a[-1], a[1.5], a["1"], a[1.0]);
a[1] = "x";
print(a[1], a.length, (a[2] = a[0]) + 1, a.join());
a[5] = 6;
print(a.length, a[4], a.join());
delete a[0];
print(a[0], 0 in a, a.length);
Array.prototype[0] = "proto";
Array.prototype[7] = "seven";
print(a[0], a[7], [][0], [1][0]);
a[0] = "own";
print(a[0], Array.prototype[0]);
delete Array.prototype[0];
delete Array.prototype[7];
print([][0], a[7]);
var holes = new Array(3);
holes[0] = 1; holes[2] = 3;
Array.prototype[1] = "p";
print(holes[1], 1 in holes, holes.length);
holes[1] = 2;
delete Array.prototype[1];
print(holes.join("-"));
var s = new String("abc");
print(s[0], s[2], s[3], s.length);
var o = {};
o[0] = "zero"; o[1] = "one";
print(o[0], o["1"], o[2]);
function args(x, y) { arguments[0] = "changed"; return arguments[0] + " " + arguments[1] + " " + arguments[2]; }
print(args(1, 2));
var t = [1, 2, 3];
t[1] += 5; t[2]++;
print(t.join(), t[1]--, t[1]);
var n = [], total = 0;
for (var i = 0; i < 100; i++) n[i] = i * i;
for (i = 0; i < 100; i++) total += n[i];
print(total, n.length, n[99], n[100]);
