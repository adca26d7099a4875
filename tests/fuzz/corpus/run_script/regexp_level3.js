// args: -c 3
// Older behaviours of compatibility level 3: the left context starts where
// the search began, a single-space separator splits on runs of white space,
// an empty match at the end still splits, and the older $ rules of replace.
var g = /b/g;
g.exec("abab");
g.exec("abab");
print("[" + RegExp.leftContext + "]", "[" + RegExp.rightContext + "]", RegExp.lastMatch);
print("abab".replace(/b/g, "[$`]"), "[" + RegExp.leftContext + "]");
print("  a b\t\t c \xa0".split(" ").join("|"), "   ".split(" ").length, "a  b".split("  ").join("|"));
print("abc".split(/(x*)/).length, "abc".split(/x*/).join("|"));
print("abc".replace(/(b)/, "[$1|$10|$2|\\$1|$0]"));
