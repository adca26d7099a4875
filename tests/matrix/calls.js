// The call matrix: script functions of every shape entered every way, so
// the activation a call gets (the one its function kept, one a nested call
// left empty, a fresh one) never shows a trace of an earlier invocation.
// Shapes (each made inside another function, whose parameter it reads):
// parameters that fit the first chunk of locals and more than fit,
// a parameter name given twice, locals in one, two or three chunks, a local
// declared only on odd levels (read on every level, and by an inner
// function), the arguments object not named, read or written, and closures
// kept at every level, at odd levels, by an inner function declared in the
// body, or not at all. Entries: a first call, calls again, recursion to
// several depths, call, apply, callbacks of map and filter;
// after each the closures kept are called, so activations they captured
// must still hold their own values while later calls reuse others. The
// expected lines in calls.out were written by a reference engine (`make
// matrix` runs this file through node).
var out = typeof print != "undefined" ? print : console.log;
var kept = [];
var sideSum = 0;

function runKept() {
  var s = 0;
  for (var i = 0; i < kept.length; i++) s = (s * 7 + kept[i]()) % 1000003;
  kept = [];
  return s;
}

var paramCounts = [0, 2, 7, 8, 11];
var localCounts = [0, 3, 9, 20];
var argModes = ["none", "read", "write"];
var captureModes = ["none", "all", "odd", "inner"];

// The text of a function: `d` is the level, p0... the other parameters.
function source(name, np, nl, argMode, capture, twice) {
  var params = ["d"];
  for (var i = 0; i < np; i++) params.push(twice && i == np - 1 ? "p0" : "p" + i);
  var distinct = twice ? np - 1 : np;
  var lines = [];
  lines.push("function " + name + "(" + params.join(", ") + ") {");
  for (i = 0; i < nl; i++)
    lines.push("  var l" + i + " = d * " + (i + 3) + " + " + (i < distinct ? "p" + i : i) + ";");
  lines.push("  if (d % 2) { var odd = d + 100; }");
  lines.push("  var o = typeof odd == 'number' ? odd : -1;");
  var sum = "d";
  for (i = 0; i < distinct; i++) sum += " + p" + i;
  for (i = 0; i < nl; i++) sum += " + l" + i;
  lines.push("  var s = " + sum + " + base;");
  if (argMode == "read") lines.push("  s += arguments.length * 1000 + (arguments[1] || 0);");
  if (argMode == "write" && distinct > 0) lines.push("  if (arguments.length > 1) arguments[1] = 50; s += p0;");
  if (argMode == "write" && distinct == 0) lines.push("  arguments[0] = d > 0 ? d - 1 : 0; s += d;");
  var args = ["d - 1"];
  for (i = 0; i < np; i++) args.push("p" + (i < distinct ? i : 0) + " + 1");
  lines.push("  var r = d > 0 ? " + name + "(" + args.join(", ") + ") : 0;");
  if (capture == "all") lines.push("  kept.push(function () { return s + d + o; });");
  if (capture == "odd") lines.push("  if (d % 2) kept.push(function () { return s * 3 + d; });");
  if (capture == "inner") {
    lines.push("  function inner() { return s * 2 + (typeof odd == 'number' ? odd : 7); }");
    lines.push("  r += inner();");
    lines.push("  if (d % 3 == 1) kept.push(inner);");
  }
  lines.push("  return (s * 31 + r + o) % 1000003;");
  lines.push("}");
  return lines.join("\n");
}

function argList(d, np) {
  var a = [d];
  for (var i = 0; i < np; i++) a.push(i * 2 + 1);
  return a;
}

function entries(f, np) {
  var r = [];
  r.push(f.apply(null, argList(0, np)), runKept());
  r.push(f.apply(null, argList(3, np)), runKept());
  r.push(f.apply(null, argList(12, np)), runKept());
  r.push(f.apply(null, argList(5, np)), f.apply(null, argList(4, np)), runKept());
  r.push(f.call(null, 7, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11), runKept());
  r.push([4, 1, 6].map(function (x) { return f.apply(null, argList(x, np)); }).join("/"), runKept());
  sideSum = 0;
  [3, 1, 2, 5].filter(function (x) { sideSum = (sideSum * 3 + f.apply(null, argList(x + 2, np))) % 1000003; return x % 2; });
  r.push(sideSum, runKept());
  // Fewer arguments than parameters, then more.
  r.push(f(2), f(9, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13), runKept());
  return r.join(" ");
}

var n = 0;
for (var a = 0; a < paramCounts.length; a++) {
  for (var b = 0; b < localCounts.length; b++) {
    for (var c = 0; c < argModes.length; c++) {
      for (var e = 0; e < captureModes.length; e++) {
        for (var t = 0; t < 2; t++) {
          var np = paramCounts[a], twice = t == 1;
          if (twice && np < 2) continue;
          n++;
          var name = "f" + n;
          // Made inside a function, so that it reads `base` from the activation around it.
          var f = eval("(function (base) { return " +
                       source(name, np, localCounts[b], argModes[c], captureModes[e], twice) + "; })")(n % 5);
          out(name + " params " + np + (twice ? " twice" : "") + " locals " + localCounts[b] + " arguments " +
              argModes[c] + " closures " + captureModes[e] + ": " + entries(f, np));
        }
      }
    }
  }
}
out(n + " cases");
