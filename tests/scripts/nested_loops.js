// Loops inside loops, run from the outer loop's remembered form: the inner
// loop's condition, body statements (plain, `var`, an `if` with block
// branches) and update each give up in turn when a variable turns into a
// string at a chosen pass of a chosen outer pass, so the walker takes the
// inner loop over at its condition, a statement of its body, the rest of a
// block branch or its update, and the outer loop goes on from its form
// after it. Each case is run in a function and as eval code (whose
// completion value is the last statement's), and the lines agree with a
// reference engine (node prints the same).
var out = typeof print != "undefined" ? print : console.log;

// Inner loops over j; {X} is where x is read (x is 1, or the string "s"
// from inner pass m2 of outer pass m1 on). A string is only added to c
// (text to number conversion reads a number at the start of a text here,
// which other engines do not).
var inners = [
  ["while", "j = 0; while (j < 4 + 0 * {X}) { a = a + j; b = b + 1; j++; }"],
  ["whilebody", "j = 0; while (j < 4) { a = a + j; c = c + {X}; j = j + 1; }"],
  ["forvar", "for (var k = 0; k < 3; k++) { a = a * 2 % 1009 + k; c = c + {X}; }"],
  ["forexpr", "for (j = 1; j <= 3; j = j + 1 + 0 * {X}) a = a + j * 3;"],
  ["fornoinit", "j = 5; for (; j > 0; j--) { b = b + 2; a = a - j + 0 * {X}; }"],
  ["ifblock", "for (j = 0; j < 4; j++) { if (j % 2 == 0) { a = a + 1; c = c + {X}; a = a * 3 % 997; } else { b = b + j; } }"],
  ["varinner", "j = 0; while (j < 3) { var t = a + j; c = t + {X}; a = t + 1; j++; }"],
  ["nestedif", "for (j = 0; j < 3; j++) if (a > b) a = a - 1; else { b = b - 1; c = c + {X}; a = a + 2; }"],
  ["walker", "for (j = 0; j < 3; j++) { a = a + j; if (j == 1) continue; c = c + {X}; }"]
];

// The outer loops over i, with {I} the inner loop.
var outers = [
  ["for", "for (i = 0; i < 6; i++) { x = i == m1 ? xs : x; {I} }"],
  ["while", "i = 0; while (i < 6) { {I} x = i == m1 ? xs : x; i++; }"],
  ["single", "for (i = 0; i < 6; i++) {I}"],
  ["after", "for (i = 0; i < 6; i++) { x = i == m1 ? xs : x; {I} b = b + 100; }"]
];

// Where the string is read: a fresh read of x at inner pass m2 or later.
function readX(where) { return "(j >= m2 && i >= m1 && m1 >= 0 ? xs : x)"; }

function show(v) { return typeof v == "string" ? '"' + v + '"' : String(v); }

var runs = [[-1, 0], [0, 0], [2, 1], [4, 2], [5, 3]];
for (var o = 0; o < outers.length; o++) {
  for (var n = 0; n < inners.length; n++) {
    var inner = inners[n][1].split("{X}").join(readX());
    var loop = outers[o][1].split("{I}").join(inner);
    var text = "var a = 0, b = 0, c = 0, i = 0, j = 0, k = 0, t = 0, x = 1; " + loop + " [a, b, c, i, j, x].join(',');";
    var f = new Function("m1", "m2", "xs", "var a = 0, b = 0, c = 0, i, j, t, x = 1; " + loop +
                         " return [a, b, c, i, j, x].join(',');");
    var line = [];
    for (var r = 0; r < runs.length; r++) {
      var got;
      try { got = f(runs[r][0], runs[r][1], "s"); } catch (e) { got = "threw " + e; }
      var m1 = runs[r][0], m2 = runs[r][1], xs = "s";
      var ev;
      try { ev = eval(text); } catch (e) { ev = "threw " + e; }
      line.push(show(got) + "/" + show(ev));
    }
    out(outers[o][0] + " | " + inners[n][0] + ": " + line.join(" "));
  }
}
