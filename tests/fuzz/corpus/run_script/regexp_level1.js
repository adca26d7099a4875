// args: -c 1
// The $ rules of replace at levels 1 to 5: every digit after $ counts, a
// missing group gives nothing, and a backslash keeps a $ as it is.
print("abc".replace(/(b)/, "[$1|$10|$2|\\$1|$0|$$|$&]"));
print("abcdefghijkl".replace(/(a)(b)(c)(d)(e)(f)(g)(h)(i)(j)(k)/, "[$11|$111|$1]"));
// The other rules of the current level stay: the left context starts at 0,
// and a single space splits on each space.
var q = /b/g;
q.exec("abab");
q.exec("abab");
print("[" + RegExp.leftContext + "]", "a  b".split(" ").length);
