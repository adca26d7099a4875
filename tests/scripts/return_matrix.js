// Bodies that start with `return`, generated: each expression kind after
// each way of reaching the `return` (line breaks, empty statements), with
// and without statements after it, called often enough for its form to be
// made and run, with arguments that make it succeed, throw, call what is
// not a function and read a member of null. Every line is the same when
// the body is walked and when the return runs from its form.
var prefixes = ["", "\n", ";", "\n;\n  ", ";;"];
var suffixes = ["", " a = 99;", "\n a++; return -1;", "\n"];
var exprs = [
  "a",
  "a + 1",
  "(a * 3) | 0",
  "o.v + a",
  "o.f(a) + 1",
  "o.v.w",
  "a < 2 ? a : self(a - 1, o) + 1",
  "g(a) - g(a + 1)",
  "[a, o.v].length + a"
];
function g(x) { return x * 2; }
var results = [];
for (var p = 0; p < prefixes.length; p++) {
  for (var s = 0; s < suffixes.length; s++) {
    for (var e = 0; e < exprs.length; e++) {
      var self;
      eval("self = function (a, o) {" + prefixes[p] + "return " + exprs[e] + ";" + suffixes[s] + "};");
      var line = [];
      for (var i = 0; i < 24; i++) {
        var o = i % 7 == 6 ? null
              : { v: i % 5 == 4 ? null : { w: i }, f: i % 6 == 5 ? 3 : function (x) { return x - 1; } };
        if (o && o.v) o.v.valueOf = function () { return 10; };
        try {
          line.push(self(i % 9, o));
        } catch (err) {
          line.push("X");
        }
      }
      results.push(p + "." + s + "." + e + ": " + line.join(","));
    }
  }
}
print(results.join("\n"));
