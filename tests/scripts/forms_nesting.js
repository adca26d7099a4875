// Remembered forms of expressions at the nesting limit: the limit is met
// at the same bracket and the same block whether an expression runs from
// its form or is read from its tokens. (Kept apart from forms.js: these
// runs make many programs, too many for every allocation to fail in turn.)

// The nesting limit met inside a deep parenthesised expression, at varying
// depths of recursion through expressions.
var reached;
function deep(n) {
  reached = n;
  if (n == 0) {
    var v = 1, r = 0;
    for (var i = 0; i < 3; i++)
      r = ((((((((((((((((((((v + 1) * 2) - 1) + 1) * 2) - 1) + 1) * 2) - 1) + 1) * 2) - 1) + 1) * 2) - 1) + 1) * 2) - 1) + 1) * 2) + r;
    return r;
  }
  return 1 + (1 + (1 + (1 + (1 + (1 + (1 + (1 + (1 + (1 + (1 + (1 + deep(n - 1))))))))))));
}
function wrapped(n, extra) {
  var open = "", close = "";
  for (var j = 0; j < extra; j++) { open += "("; close += ")"; }
  return eval(open + "deep(" + n + ")" + close);
}
for (var n = 13; n <= 14; n++) {
  var last = "";
  for (var extra = 0; extra <= 22; extra++) {
    var said;
    try {
      said = "" + wrapped(n, extra);
    } catch (e) {
      said = e.message + " at " + reached;
    }
    if (said != last) print("deep " + n + " inside " + extra + " brackets: " + said);
    last = said;
  }
}

// Statements whose expressions are forms, in blocks nested up to and past
// the nesting limit.
function blocks(k) {
  var open = "", close = "";
  for (var j = 0; j < k; j++) { open += "{"; close += "}"; }
  return eval("(function () { var a = 0, b = 1, i; for (i = 0; i < 3; i++) { " + open +
              " a = a * 2 + i; b = a - b; a + b; " + close + " } return a + ',' + b; })()");
}
var lastBlocks = "";
for (var k = 0; k <= 420; k += (k < 380 ? 20 : 1)) {
  var said;
  try {
    said = blocks(k);
  } catch (e) {
    said = e.message;
  }
  if (said != lastBlocks) print("blocks " + k + ": " + said);
  lastBlocks = said;
}

// Loops run from their forms, in blocks nested up to and past the nesting
// limit: the limit is met at the same block whether it falls in the
// condition, a statement of the body, an `if` in it, a statement of an
// `if`'s block or the block itself, a branch the walker runs, a `var` or
// the update, and whether the loop runs from its form or from its tokens.
var loopBodies = [
  "a = a * 2 + i; b = a - b;",
  "if (i % 2) a = (((a + 1))); else b = ((b - 1));",
  "var t = ((((a)) + 1)); a = t;",
  "a = (((((((((a + i)))))))));",
  "if (i % 2) { a = a + 1; b = (((((b - 1))))); } else { b = b + 1; a = ((a)); }",
  "if (i > 3) {} else { a = ((a + i)); }",
  "if (i > 3 && i % 3 == 0) { a = a + 1; if (a > 0) { { b = (((b + 1))); } } } else b = (((b - 1)));"
];
function loops(k, w) {
  var open = "", close = "";
  for (var j = 0; j < k; j++) { open += "{"; close += "}"; }
  return eval("(function () { var a = 0, b = 1, i, t; " + open + " for (i = 0; ((i < 140)); i = ((i + 1))) { " +
              loopBodies[w] + " } " + close + " return a + ',' + b; })()");
}
for (var w = 0; w < loopBodies.length; w++) {
  var lastLoops = "";
  for (var k = 360; k <= 400; k++) {
    var said;
    try {
      said = loops(k, w);
    } catch (e) {
      said = e.message;
    }
    if (said != lastLoops) print("loop " + w + " in " + k + " blocks: " + said);
    lastLoops = said;
  }
}

// Each body in blocks nested `from` to `to` deep, in a function with the
// variables `vars`, called three times at each depth (so its statements
// are remembered and then run from their forms); a line each time what
// the calls give changes.
function nestedRuns(label, bodies, vars, from, to) {
  for (var w = 0; w < bodies.length; w++) {
    var last = "";
    for (var k = from; k <= to; k++) {
      var open = "", close = "", said;
      for (var j = 0; j < k; j++) { open += "{"; close += "}"; }
      try {
        var f = eval("(function () { var " + vars + "; " + open + " " + bodies[w] + " " + close + " })");
        var r = [];
        for (var j = 0; j < 3; j++) r.push(f.call({k: 9}));
        said = r.join(" ");
      } catch (e) {
        said = e.message;
      }
      if (said != last) print(label + " " + w + " in " + k + " blocks: " + said);
      last = said;
    }
  }
}

// A lone operand returned and a member counted up or down, in blocks nested
// up to and past the nesting limit: the limit is met at the same block
// whether the statement is run from its form or read from its tokens.
nestedRuns("end", ["return a;", "return this.k;", "return this;", "return 7;", "o.n++; return o.n;",
                   "o.n--; o.n--; return o.n;", "for (var i = 0; i < 3; i++) o.n++; return o.n;"],
           "a = 5, o = {n: 1}", 372, 386);

// Lone operands read as values (an initialiser, an argument, a key, a case
// label, an array element, a property value) in blocks nested up to and
// past the nesting limit: the limit is met at the same block whether the
// value is copied directly or read by the walker.
function id(x) { return x; }
nestedRuns("lone", ["var v = a; return v;", "return id(a, null);", "return o[k];", "var v = this; return v.k;",
                    "switch (k) { case K: return 1; } return 2;", "return [a, true][0];", "return {p: a}.p;",
                    "return (a);"],
           "a = 5, o = {n: 1}, k = 'n', K = 'n'", 370, 386);
