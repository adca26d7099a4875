// String searching: indexOf and lastIndexOf over long texts, charAt and charCodeAt scans.
var unit = "the quick brown fox jumps over the lazy dog ";
var text = "";
for (var i = 0; i < 2000; i++) text += unit;
text += "needle";
var hits = 0, pos = 0;
while ((pos = text.indexOf("fox", pos)) >= 0) { hits++; pos++; }
var back = 0;
pos = text.length;
while (pos >= 0 && (pos = text.lastIndexOf("dog", pos)) >= 0) { back++; pos--; }
var far = 0;
for (var k = 0; k < 200; k++) far += text.indexOf("needle") + text.lastIndexOf("the ", text.length - k);
var codes = 0;
for (var i = 0; i < text.length; i += 3) codes += text.charCodeAt(i) + (text.charAt(i) == " " ? 1 : 0);
print("string_search: checksum=" + ((hits * 1000 + back + far + codes) % 1000003));
