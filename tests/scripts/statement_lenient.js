// args: -l
// A lenient run reports each failure as a warning, abandons the rest of
// the failed statement (up to where it ends, run or skipped) and goes on
// with the next one.
var trace = [];
function log(s) { trace.push(s); }
var none;
{
  var a = none.missing
    .more
  log("after member")
  var b = (1 +
    ) * 2
  log("after paren")
  var c = none.x || log("skipped operand")
  log("after operand")
  if (true) d = none.y
    .z
  log("after if")
  e = 1 +
    none.p, log("comma")
  log("after comma")
}
function f() { var r = none.q; log("in f"); return 2; }
log(f())
print(trace.join(","))
