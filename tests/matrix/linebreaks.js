// Where a statement or an operand ends at a line break, read in every way:
// each snippet runs as statements of a function, is skipped as the untaken
// branch of an if (unbraced, so what follows the first statement runs), is
// the skipped and the evaluated right operand of || and &&, and either
// branch of ?: (expression snippets), and runs as the text given to eval.
// Only line breaks where the language as run here agrees with the standard
// are used (a line break before `(`, `[` or `=` is a difference of its own,
// tested in tests/scripts). The expected output in linebreaks.out was
// written by a reference engine (`make matrix`).
var out = typeof print != "undefined" ? print : console.log;
var trace = [];
function log(s) { trace.push(s); return s; }
function f(n) { return n + 10; }
var o = {p: {q: 5}, length: 7};

// Statement snippets: "\n" stands for a line break.
var statements = [
  'x = a\n.length',
  'x = a\n  .length\n  .toString()',
  'x = a.\nlength',
  'x = b\n+ 1',
  'x = f(1)\n+ 2',
  'x = f(1)\n.toString()\n.length',
  'x = b\n* 3\n- 1',
  'x = 1, y = 2\n, z = 3',
  'x = b\n, y = 4',
  'x = b; x\n+= 5',
  'x = b; x\n*= 6\n, y = 2',
  'x = b\n++y',
  'x = b\n--y',
  'x = ok || 2\nlog("a")\nlog("b")',
  'x = no && 2\nlog("a")\nlog("b")',
  'x = ok ? 1 : 2\nlog("a")\nlog("b")',
  'x = no ? 1 : 2\nlog("a")\nlog("b")',
  'x = ok ? 1\n: 2',
  'x = no ? 1\n: 2\nlog("c")',
  'x = ok\n? 1\n: 2',
  'x = no\n? log("m")\n: log("n")',
  'x = ok || no\n&& log("p")',
  'x = no && ok\n|| log("q")',
  'x = {p: 1}\n.p',
  'x = [1, 2, 3]\n.length',
  'x = -\nb',
  'x = typeof\nb',
  'x = new\nArray(3)\n.length',
  'x = (1\n+ 2)\n* 3',
  'x = o\n.p\n.q',
  'x = "text"\n.length\nlog("d")',
  'var v = 1\n, w = 2; x = v + w',
  'var v = b\n+ 1; x = v',
  'x = b\ny = 3',
  'x = b; y = x\nx = y + 1',
  'y = b++\n/ 2; x = y',
  'y = b--\n/ 2; x = y + b',
  'x = function () { return 1; }\nlog("e")',
  'x = b\nin o',
  'x = o\ninstanceof Object',
  'x = b\n!= 2\n? "ne" : "eq"',
  'x = (ok\n|| no) && (no\n|| ok)',
  'x = log("s")\n, log("t")'
];

// Expression snippets for the operand contexts.
var expressions = [
  'a\n.length',
  'f(1)\n+ 2',
  'b\n* 3\n- 1',
  'ok ? 1\n: 2',
  'no ? 1\n: 2',
  'ok\n? log("m")\n: log("n")',
  'no || log("r")',
  'o\n.p\n.q',
  '{p: 1}.p',
  'function () { return 1; }\n.call(null)',
  '(b\n+ 1)',
  '(b = b\n+ 1)'
];

function run(text) {
  var r;
  trace = [];
  try {
    var fn = eval("(function () { var a = \"xyz\", b = 1, ok = true, no = false, x, y, z; " + text +
                  "\n; return [x, y, z].join(\"/\"); })");
    r = fn();
  } catch (e) {
    r = "threw " + e.name;
  }
  return r + " [" + trace.join(",") + "]";
}

function show(label, text) { out(label + ": " + run(text)); }

var i;
for (i = 0; i < statements.length; i++) {
  var s = statements[i];
  show("run " + i, s);
  show("untaken " + i, 'if (no) ' + s + '\nlog("after")');
  show("else " + i, 'if (ok) log("then"); else ' + s + '\nlog("after")');
  show("eval " + i, 'eval(' + JSON_quote(s) + ')');
}
for (i = 0; i < expressions.length; i++) {
  var e = expressions[i];
  show("or-skipped " + i, 'x = ok || ' + e + '\nlog("after")');
  show("or-run " + i, 'x = no || ' + e + '\nlog("after")');
  show("and-skipped " + i, 'x = no && ' + e + '\nlog("after")');
  show("and-run " + i, 'x = ok && ' + e + '\nlog("after")');
  show("then-skipped " + i, 'x = no ? ' + e + ' : "else"\nlog("after")');
  show("else-skipped " + i, 'x = ok ? "then" : ' + e + '\nlog("after")');
  show("then-run " + i, 'x = ok ? ' + e + ' : "else"\nlog("after")');
  show("else-run " + i, 'x = no ? "then" : ' + e + '\nlog("after")');
}

// A string literal for a text (quotes, backslashes and line breaks escaped).
function JSON_quote(t) {
  var r = "\"";
  for (var k = 0; k < t.length; k++) {
    var c = t.charAt(k);
    if (c == "\"" || c == "\\") r += "\\" + c;
    else if (c == "\n") r += "\\n";
    else r += c;
  }
  return r + "\"";
}
