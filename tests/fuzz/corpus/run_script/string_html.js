// The HTML wrapper methods.
var s = "x";
print(s.anchor("a\"b"), s.big(), s.blink(), s.bold(), s.fixed());
print(s.fontcolor("red"), s.fontsize(7), s.italics(), s.link("http://q/?a=1&b=2"));
print(s.small(), s.strike(), s.sub(), s.sup());
print("".bold(), "a<b".italics(), (5).toString().big(), s.anchor(null), s.fontsize(undefined));
print(String.bold("t"), String.link("t", "u"), String.prototype.sub.call(42));
// an attribute form needs its argument
try { s.anchor(); } catch (e) { print("caught", e.message); }
try { String.fontcolor("t"); } catch (e) { print("caught", e.message); }
try { s.link({toString: function () { throw "no href"; }}); } catch (e) { print("caught", e); }
