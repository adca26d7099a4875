// Every statement's syntax errors, each raised inside try through eval so
// that the message can be printed.
var texts = [
  "try { }",
  "try x",
  "do { } x",
  "switch (1) { case 1 x }",
  "switch (1) { default }",
  "switch (1) { default: ; default: ; }",
  "switch 1",
  "switch (1) x",
  "x: y: x: ;",
  "while (1) { break nowhere; }",
  "else x",
  "finally { }",
  "catch (e) { }",
  "var = 5",
  "var x = ;",
  "if x",
  "if (1 x",
  "while ()",
  "for (i = 0 i < 3; i++) ;",
  "for (;; i++ ;",
  "for (x in ) ;",
  "with () ;",
  "throw ;",
  "function (a) { }",
  "function f a) { }",
  "function f(a b) { }",
  "function f(1) { }",
  "{ var a = 1",
  "a = 1 b = 2",
  "continue;",
  "break;",
  "f(1,,2)",
  "f(1 2)",
  "[1, 2",
  "[1 2]",
  "({a 1})",
  "({a: })",
  "({1: 2, 3})",
  "(1 + 2",
  "1 +",
  "a ? b",
  "x.1",
  "x[]",
  "new",
  "5 = 1",
  "++5",
  "'unterminated",
  "/* open",
  "/(a/",
  "/a/q",
  "1 }"
];
for (var ti = 0; ti < texts.length; ti++) {
  try {
    eval(texts[ti]);
    print(texts[ti] + " => ran");
  } catch (e) {
    print(texts[ti] + " => " + e.name + ": " + e.message);
  }
}
