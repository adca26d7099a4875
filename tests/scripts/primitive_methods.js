// Methods of strings, numbers and booleans, and named members of string
// objects, read from their prototypes as the prototypes change: where the
// expression runs from its remembered form (a call that ends a statement,
// a call followed by operators) and where it is read from its tokens (an
// object literal's value), five passes each, so the places are read,
// remembered and run from what was remembered.
String.prototype.twice = function () { return this + this; };
var s = "ab", o = new String("xy"), n = 5, b = true;
var lines = [];
for (var i = 0; i < 5; i++) {
  var r = [];
  r.push(s.twice());
  r.push(s.charAt(i) + s.charCodeAt(i % 2) * 2);
  r.push(o.twice(), o.length, o.charAt(1), o.tag);
  r.push(n.toFixed(i), b.toString(), s.hasOwnProperty("length"), o.hasOwnProperty("tag"));
  var lit = {a: s.charAt(1), b: n.toString(2), c: s.twice()};
  r.push(lit.a + lit.b + lit.c);
  lines.push(r.join(" "));
  if (i == 1) String.prototype.twice = function () { return "[" + this + "]"; };
  if (i == 2) { o.twice = function () { return "own"; }; o.tag = "tagged"; }
  if (i == 3) { Number.prototype.toFixed = function (k) { return "fixed" + k; }; delete String.prototype.twice; }
  if (i == 3) Object.prototype.twice = function () { return "from Object"; };
}
print(lines.join("\n"));
