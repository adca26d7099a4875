// Loops and arithmetic on numbers: counting, nested loops, bit mixing.
var h = 0;
for (var i = 0; i < 300000; i++) {
  h = (h * 31 + i) | 0;
  if ((i & 7) == 3) h = h ^ (i << 3);
}
var s = 0, j = 0;
while (j < 200) {
  for (var k = 0; k < 200; k++) s += (j * k) % 7;
  j++;
}
var f = 1.5;
for (var n = 0; n < 100000; n++) f = f * 1.000001 + 0.5 / (n + 1);
print("loops: checksum=" + ((h ^ s ^ Math.floor(f)) | 0));
