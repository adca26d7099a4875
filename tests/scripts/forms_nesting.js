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
