// Statements end the same way whether they run or are skipped, and are
// left the same way whichever jump leaves them.
var trace = [];
function log(s) { trace.push(s); }
function show(label) { print(label + ": " + trace.join(",")); trace = []; }

// A braced do body left by break and continue, labelled and not.
var i = 0;
do { i++; if (i == 2) break; } while (i < 5);
log(i);
i = 0;
do { i++; if (i < 3) continue; log("at" + i); } while (i < 4);
outer: do { i = 0; do { i++; if (i == 2) continue outer; if (i == 9) break outer; } while (true); } while (false);
log(i);
show("do");

// break, continue and return leaving try and catch blocks.
function early() { try { return 1; } catch (e) {} }
log(early());
function fromCatch() { try { throw 1; } catch (e) { return 2; } finally { log("cleanup"); } }
log(fromCatch());
for (var k = 0; k < 3; k++) { try { if (k == 1) break; log("k" + k); } finally { log("fin" + k); } }
for (k = 0; k < 3; k++) { try { throw k; } catch (e) { if (e == 1) continue; log("c" + e); } finally { log("f" + k); } }
show("try");

// A return through nested finally blocks runs each, innermost first; a
// jump of a finally block replaces the pending one.
function nested() {
  try { try { try { return "r"; } finally { log("in"); } } finally { log("mid"); } } finally { log("out"); }
}
log(nested());
function replaced() { try { return "first"; } finally { return "second"; } }
log(replaced());
function swallowed() { for (;;) { try { throw "x"; } finally { break; } } return "after"; }
log(swallowed());
function rethrown() { try { return 1; } finally { throw "from finally"; } }
try { rethrown(); } catch (e) { log(e); }
show("finally");

// A failure dropped by the finally block's own jump: the run goes on and
// later errors are still reported (and caught).
function dropped() { try { undefinedFunction(); } finally { return "dropped"; } }
log(dropped());
try { alsoUndefined(); } catch (e) { log(e.name); }
show("dropped");

// Skipped operands and branches end where the running statement would.
var ok = true, no = false;
var r = ok || 2
log("a")
log("b");
r = no && 2
log("c")
r = ok ? 1 : 2
log("d")
show("operands");

// A line break before `.` continues the statement, run or skipped; before
// `(` or `[` it ends it (a statement of its own follows); before `=` too.
var text = "xyz";
var len = text
.length;
if (no) { var other = text
.length }
if (no) len = text
.length
else log("else");
log(len);
var t = text
(log("paren"))
var u = text
[log("bracket")]
show("lines");

// `/` after `++` and `--` divides.
var n = 3;
var half = n++ / 2;
log(half);
log(n-- / 2);
log(n);
show("divide");

// An operand of &&, || or ?: that is not there at all fails the same way
// whether the operand would run or be skipped (a faulty operand that is
// there is reported only when it runs: forms.js, "late").
var missing = ["c && ", "c || ", "c && & 6", "c || * 6", "c ? 1 : ", "c ?  : 2", "c ? 1 : * 2",
               "c ? * 1 : 2", "(c && ) + 1"];
for (var m = 0; m < missing.length; m++) {
  var said = [];
  for (var c = 0; c < 2; c++) {
    try {
      said.push(String(eval("var r = " + missing[m] + "; r")));
    } catch (e) {
      said.push(e.message);
    }
  }
  print(missing[m] + " | " + said.join(" | "));
}
