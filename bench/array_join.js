// Joining: numbers and strings into long texts, nested arrays, indexOf over long arrays.
var a = [];
for (var i = 0; i < 100000; i++) a.push(i % 2 ? i : "s" + i);
var total = 0;
for (var k = 0; k < 10; k++) total += a.join(k % 2 ? "," : "").length;
var nested = [];
for (var i = 0; i < 20000; i++) nested.push([i, [i + 1, "x"]]);
total += nested.join(";").length;
var found = 0;
for (var k = 0; k < 50; k++) found += a.indexOf(99999 - k * 2) + a.lastIndexOf("s" + (k * 2));
print("array_join: checksum=" + ((total + found) % 1000003));
