// Date objects: calendar arithmetic through construction, UTC getters and
// setters, the text forms and the date parser. Zone-independent checksum.
var h = 0;
var t = Date.UTC(1901, 0, 1);
for (var i = 0; i < 80000; i++) {
  var d = new Date(t);
  h = (h * 31 + d.getUTCFullYear() * 372 + d.getUTCMonth() * 31 + d.getUTCDate() + d.getUTCDay()) | 0;
  t += 86400000 * 3 + 3723004;
}
var s = new Date(Date.UTC(2000, 0, 1));
for (var j = 0; j < 40000; j++) {
  s.setUTCDate(s.getUTCDate() + 17);
  s.setUTCHours(j % 30, j % 70, j % 61);
  h = (h ^ (s.getTime() / 1000)) | 0;
}
var n = 0;
for (var k = 0; k < 20000; k++) {
  var u = new Date(Date.UTC(1950 + k % 100, k % 12, 1 + k % 28, k % 24, k % 60, k % 60));
  var text = u.toUTCString();
  n += text.length;
  if (Date.parse(text) != u.getTime()) n += 1000000;
}
print("dates: checksum=" + ((h + n) | 0));
