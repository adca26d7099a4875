// RegExp objects, exec and the statics, and the pattern methods of strings.
function show(a) {
    if (a === null) return "null";
    var o = [];
    for (var i = 0; i < a.length; i++) o.push(a[i] === undefined ? "undefined" : '"' + a[i] + '"');
    return "[" + o.join(", ") + "]";
}

// Before any match there is no input to fall back on.
try { /x/.exec(); } catch (e) { print(e.name + ":", e.message); }

// Constructing, flags and toString.
print(String(new RegExp("a", "mig")), new RegExp() + "", RegExp("x", "g").global, /a\/b/.source);
var re = /x/g;
print(RegExp(re) === re, new RegExp(re) === re, new RegExp(re) + "", re.ignoreCase, re.multiline);
try { new RegExp(/x/g, "i"); } catch (e) { print(e.name + ":", e.message); }
try { new RegExp("a", "gq"); } catch (e) { print(e.name + ":", e.message); }
try { new RegExp("(a"); } catch (e) { print(e.name + ":", e.message); }
try { /a/.source = "b"; } catch (e) { print(e.name + ":", e.message); }
print(Object.prototype.toString.call(/a/), typeof /a/, /a/ instanceof RegExp);

// exec with the g flag steps lastIndex, then resets it.
var g = /a/g;
print(g.exec("aa").index, g.exec("aa").index, g.exec("aa"), g.lastIndex);
print(/a/.exec("aa").index, /a/.exec("aa").index);
var m = /(\d+)-(\d+)?/.exec("tel 555- call");
print(show(m), m.index, m.input);
var r = /(a)|(b)/.exec("b");
print(RegExp.$1 === "", r[1] === undefined, RegExp.$2, RegExp.lastParen);
RegExp.input = null;
print(/ul/.exec().index, /ul/.test(), RegExp.input);

// The statics.
/(\w+)\s(\w+)/.exec("say John Smith now");
print(RegExp.lastMatch, "|" + RegExp.leftContext + "|", RegExp.rightContext, RegExp.$1, RegExp.$2, RegExp.input);
print(RegExp["$&"], RegExp["$+"], RegExp["$`"], RegExp["$'"], RegExp.$_);
try { RegExp.$1 = "x"; } catch (e) { print(e.message); }
RegExp.multiline = true;
print(/^b/.test("a\nb"), RegExp["$*"]);
RegExp.multiline = false;
print(/^b/.test("a\nb"));

// match and search.
print(show("abc".match(/x/g)), show("aXbX".match(/X/g)), show("ab".match(/x*/g)), show("a1b2".match(/\d/)));
print("abc".search(/c/), "abc".search(/x/), "a.c".search("."), "aBc".search(/b/i));

// replace.
print("a.b".replace(".", "-"), "abc".replace(/(b)/, "[$1$2$$]"), "John Smith".replace(/(\w+)\s(\w+)/, "$2, $1"));
print("abcd".replace(/(b)(c)/, "[$&|$`|$'|$+|$0]"), "abc".replace(/x*/g, "-"), "aaa".replace(/a/g, "b"));
print("a1b22".replace(/(\d)(\d)?/g, function (all, d1, d2, at, s) {
    return "<" + all + "," + d1 + "," + d2 + "," + at + "," + s + ">";
}));
print("x1y2".replace(/\d/g, function (d) { return d * 2; }), "abc".replace("b", function () {}));

// split.
print(show("a,b,".split(/,/)), show("a,b,".split(",")), show("ab".split("")), show("a1b2c".split(/(\d)/)));
print(show("a1b2c".split(/(\d)/, 2)), show("a b".split(" ", 0)), show("abc".split()), show("abc".split(/x*/)));
print(show("".split(",")), show("".split("")), show("  a  b ".split(" ")));
