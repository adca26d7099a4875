// Property access: objects built by constructors, reads and writes of
// named properties, prototype methods, objects with many properties.
function Point(x, y) { this.x = x; this.y = y; }
Point.prototype.norm1 = function () { return (this.x < 0 ? -this.x : this.x) + (this.y < 0 ? -this.y : this.y); };
var pts = [];
for (var i = 0; i < 20000; i++) pts[i] = new Point(i % 97 - 48, i % 89 - 44);
var sum = 0;
for (var r = 0; r < 5; r++)
  for (var j = 0; j < pts.length; j++) { var p = pts[j]; p.x = p.y + r; sum += p.norm1(); }
var big = {};
for (var k = 0; k < 2000; k++) big["k" + k] = k;
var t = 0;
for (var n = 0; n < 20; n++) for (var q = 0; q < 2000; q++) t += big["k" + q];
print("objects: checksum=" + ((sum + t) | 0));
