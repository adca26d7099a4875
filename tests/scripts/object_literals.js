// Object literals made again and again: names, strings and numbers as
// keys, a name given twice, names Object.prototype has, `length`, many
// properties (the store grows and gets an index), values of every kind.
function show(o) {
  var out = [];
  for (var k in o) out.push(k + "=" + (typeof o[k] == "object" && o[k] ? "{" + show(o[k]) + "}" : o[k]));
  return out.join(",");
}
var s = "text", made = [];
for (var i = 0; i < 40; i++) {
  var o = { a: i, "b": s + i, 3: i * 2, a: -i, toString: i % 2 ? "own" : null,
            length: i, hasOwnProperty: 7, c: { d: [i, { e: i }] }, f: undefined, g: true,
            h1: 1, h2: 2, h3: 3, h4: 4, h5: 5, h6: 6, h7: 7, h8: 8, h9: 9, h10: 10,
            h11: 11, h12: 12, h13: 13, h14: 14, h15: 15, h16: 16, h17: 17, last: s };
  if (i % 13 == 0) made.push(show(o));
  if (o.a != -i || o.length != i || o[3] != i * 2 || o.h17 != 17 || o.last != s) print("wrong at " + i);
}
print(made.join("\n"));
var empty = {}, names = [];
for (var k in empty) names.push(k);
print("empty: " + names.length + " " + ({}).toString());
var n = 0;
for (i = 0; i < 1000; i++) n += { x: i, y: i + 1 }.y - { x: i }.x;
print(n);
