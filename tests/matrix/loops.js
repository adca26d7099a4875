// The loops matrix: `while` and `for` loops the interpreter can run from
// one remembered form of the whole loop, in every shape a body takes (a
// block of statements ending in `;` or at line breaks, one statement, an
// empty body, `var`, `if` with and without `else`, member and element
// stores, holes filled, and statements the walker runs from the form:
// calls, break, continue, return, throw, try, a nested loop ...), entered
// from every kind of place (a function, eval with its completion value,
// try/finally, an outer loop entering it again, a do body left by break, a
// with scope, a catch scope, a labelled loop continued, a branch
// skipped on the run after the form was made, a function inside, where the
// variables are those of the function around, and the program's top level,
// where the variables are program-level ones), and left in every way: the
// condition turning false, and a variable turning into a string at a
// chosen pass, so that the loop's form gives up at the condition, in the
// middle of the body or at the update, on the first pass, early, or after
// the form was made (passes 2, 16 and 128 are where it is made). The
// shape "break" has no condition and is left only by a break the walker
// runs from the form (an expression statement follows it: engines after
// ES3 give a loop left by a break inside an `if` another completion value).
// The expected lines in loops.out were written by a reference engine
// (`make matrix` runs this file through node).
var out = typeof print != "undefined" ? print : console.log;

function show(v) {
  if (v === 0 && 1 / v < 0) return "-0";
  if (typeof v == "string") return '"' + v + '"';
  return String(v);
}

// Bodies: statements over a, b (numbers), i (the counter), x (1, or the
// string xs from pass m on), o.p and the array arr. (A variable that turns
// into a string is only added to after that: text to number conversion
// reads a number at the start of a text here, which other engines do not.)
var bodies = [
  ["sum", "a = a + i;"],
  ["two", "a += i * 2; b = b ^ a;"],
  ["var", "var t = a * 2; a = t - i; b++;"],
  ["ifelse", "if (i % 3 == 0) a = a + 1; else b = b + 2;"],
  ["if", "if (i > 5) a -= 1; b = b + a;"],
  ["stores", "o.p = o.p + i; arr[i] = a; a = a + 1;"],
  ["middle", "a = a + i; a = a + x; b = b - 1;"],
  ["late", "a = (a * 31 + i) | 0; if (i > 20) b = a; else b = -a;"],
  ["lines", "a = a + x\nb = b + 1\n"],
  // Statements the walker runs, called from the loop's form, and the ways
  // they leave it. (In eval code these are followed by a statement of
  // their own: engines after ES3 give some of them other completion
  // values, and `return` there is no error in ES3's eval.)
  ["call", "a = id(a) + i; b = b + x;", 1],
  ["break", "a = a + i; if (a > 100) break; b++;", 1],
  ["continue", "if (i % 4 == 0) { i++; continue; } a = a + i;", 1],
  ["return", "a = a + i; if (a > 500) return ['returned', a, i];", 2],
  ["throw", "a = a + i; if (a > 400) throw 'thrown at ' + i;", 1],
  ["nested", "for (var k = 0; k < 3; k++) a = a + k; b = b + a;", 1],
  ["try", "try { a = a + i; if (i == 3) throw 1; } catch (e) { b = b + 1; }", 1],
  ["labelled", "L2: { a = a + i; if (i > 2) break L2; b = b + 1; }", 1],
  ["object", "o = {p: o.p + i}; a = a + o.p;", 1],
  ["failing", "a = a + i; if (i == 9) a = u.v;", 1],
  // `if` with block branches, run from the loop's form: a miss at a
  // block's first statement hands the whole `if` to the walker, a miss
  // after it the rest of the block (then the `if` ends as the walker ends
  // it). Each ends in a statement of its own (engines after ES3 give an
  // `if` whose branch has no value another completion value).
  ["ifblock", "if (i % 2 == 0) { a = a + 1; b = b + x; a = a * 2 % 1000; } b = b + 1;"],
  ["ifelseblock", "if (i % 3 != 1) { b = b + 1; a = a + x; } else { b = b - 1; a = a - x; var t = a; } b = b + 1;"],
  ["iflines", "if (i > 2) {\n a += i\n b = b + x\n a = a - 1\n}\na = a + 1;"],
  ["ifmixed", "if (i & 1) b = b + x; else { a = a - 1; b = b + x; a = a * 3 % 997; } a = a + 1;"],
  ["ifempty", "if (i > 3) {} else { a = a + i; b = b + x; } a = a + 1;"],
  ["ifsemis", "if (i > 1) { ; a = a + i; ; b = b + x; ; o.p = o.p + 1 } b = b + 1;"],
  ["ifelems", "if (i < 100) { arr[i] = a; t = arr[i] + x; a = t; o.p = a; } b = b + 1;"],
  ["ifnested", "if (i > 1) { a = a + 1; if (i > 4) b = b + x; } a = a + 1;", 1],
  ["ifcall", "if (i % 2) { a = a + 1; b = id(b) + x; } a = a + 1;", 1],
  ["ifbreak", "if (a > 50) { b = b + x; break; } a = a + i;", 1],
  ["ifthrow", "if (i > 3) { a = a + 1; b = b + x; if (i == 7) throw 'at ' + i; } a = a + 1;", 1],
  // Conditions that are a lone operand (only their truth counts).
  ["lonecond", "if (x) a = a + 1; else b = b + 1; t = i % 2 ? o : null; if (t) b = b + 2; a = a + 1;"]
];

// Shapes: {B} the body, which always ends in a statement of its own.
var shapes = [
  ["for", "for (i = 0; i < n; i++) { {B} }"],
  ["while", "i = 0; while (i < n) { {B} i++; }"],
  ["noupdate", "for (i = 0; i < n;) { {B} i = i + 1 }"],
  ["single", "for (i = 0; i < n; i += 1) a = a + x * i;"],
  ["updatex", "for (i = 0; i < n; i = i + x * 1) { {B} }"],
  ["condx", "i = 0; while (i < n * x) { {B} i = i + 1; }"],
  ["empty", "for (i = 0; i < n; i++) ; a = a + i;"],
  ["break", "i = 0; for (;;) { if (i >= n) break; {B} i++; } i;"],
  ["lonewhile", "i = 0; d = n; while (d) { {B} i++; d = d - 1; }"],
  // The body one `if` with block branches (not a block's statement).
  ["ifbody", "for (i = 0; i < n; i++) if (i % 2 == 0) { a = a + i; x = i >= m && m >= 0 ? xs : x; b = b + x; } " +
             "else { b = b + 1; a = a + x; }"]
];

// Places the loop ({L}) stands in, inside f(n, x, xs, m).
var places = [
  ["function", "{L}"],
  ["eval", "c = eval({Q});"],
  ["finally", "try { {L} } finally { b = b + 1000; }"],
  ["outer", "for (var j = 0; j < 3; j++) { {L} }"],
  ["do", "do { {L} if (a) break; } while (false);"],
  ["with", "with (w) { {L} }"],
  ["catch", "try { throw 0; } catch (e) { {L} }"],
  ["label", "L: for (var j = 0; j < 2; j++) { {L} continue L; }"],
  ["skipped", "if (m != 0) { {L} } else { b = b - 1; }"],
  ["closure", "(function () { {L} })();"]
];

function quote(s) {
  return '"' + s.split("\\").join("\\\\").split('"').join('\\"').split("\n").join("\\n") + '"';
}

// x turns into the string xs at pass m (m < 0: never) through the
// statement put first in every body; the loop's form gives up there when
// it happens, and at every use of x after it.
function id(v) { return v; }
var u;

function make(shape, body, place, walker) {
  var b = "x = i == m ? xs : x; " + body;
  var loop = shape.split("{B}").join(b);
  if (walker && place.indexOf("{Q}") >= 0) loop += "\n'end'";
  var code = place.split("{L}").join(loop).split("{Q}").join(quote(loop));
  return eval("(function (n, x, xs, m) { var a = 0, b = 0, c, d, i, t, j, o = {p: 0}, arr = [], w = {}; " +
              code + " return [a, b, c, i, o.p, arr.length, arr[3], x]; })");
}

var runs = [[10, -1], [10, 0], [150, -1], [150, 5], [150, 140]];
var cases = 0;

// A run's result as its line shows it.
function shown(v) {
  var got = [];
  for (var k = 0; k < v.length; k++) got.push(show(v[k]));
  return got.join(",");
}

for (var s = 0; s < shapes.length; s++) {
  for (var bo = 0; bo < bodies.length; bo++) {
    for (var p = 0; p < places.length; p++) {
      if (bodies[bo][2] == 2 && places[p][0] == "eval") continue;
      var f = make(shapes[s][1], bodies[bo][1], places[p][1], bodies[bo][2]);
      var line = [];
      for (var r = 0; r < runs.length; r++) {
        var got;
        try {
          got = shown(f(runs[r][0], 1, "s", runs[r][1]));
        } catch (err) {
          got = "threw";
        }
        line.push(got);
      }
      out(shapes[s][0] + " | " + bodies[bo][0] + " | " + places[p][0] + ": " + line.join(" "));
      cases++;
    }
  }
}

// The same loops at program level: eval code run from the program's top
// level, whose variables are program-level ones (a body that returns has no
// place there). They are given names no function uses (a name some
// function has had as a local is looked for among the locals first). The
// eval stands in this loop itself: inside a function it would run as that
// function's code.
function programText(shape, body, n, m) {
  var b = "x = i == m ? xs : x; " + body;
  var text = "var a = 0, b = 0, c, d, i, t, j, o = {p: 0}, arr = [], w = {}, n = " + n + ", x = 1, xs = 's', m = " + m +
             ";\n" + shape.split("{B}").join(b) + "\n[a, b, c, i, o.p, arr.length, arr[3], x];";
  return text.replace(/\b(a|b|c|d|i|t|j|k|o|arr|w|n|x|xs|m)\b/g, "g_$1");
}
for (var s = 0; s < shapes.length; s++) {
  for (var bo = 0; bo < bodies.length; bo++) {
    if (bodies[bo][2] == 2) continue;
    var line = [];
    for (var r = 0; r < runs.length; r++) {
      var got;
      try {
        got = shown(eval(programText(shapes[s][1], bodies[bo][1], runs[r][0], runs[r][1])));
      } catch (err) {
        got = "threw";
      }
      line.push(got);
    }
    out(shapes[s][0] + " | " + bodies[bo][0] + " | program: " + line.join(" "));
    cases++;
  }
}
out(cases + " cases");
