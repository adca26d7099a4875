// String building: appending in a loop, concat, case mapping, substrings and fromCharCode.
var s = "";
for (var i = 0; i < 100000; i++) s += String.fromCharCode(97 + i % 26);
var t = "";
for (var i = 0; i < 2000; i++) t = t.concat("ab", i, "|");
var up = s.toUpperCase(), low = up.toLowerCase();
var parts = 0;
for (var i = 0; i < 20000; i++) parts += s.substring(i, i + 10).length + s.substr(i, 5).length + s.slice(-i - 3, -i).length;
var html = "";
for (var i = 0; i < 2000; i++) html += "w".bold().length;
print("string_build: checksum=" + ((s.length + t.length + (low == s ? 1 : 0) + parts + html.length + up.charCodeAt(99)) % 1000003));
