// The completion matrix: every jump (break, continue, labelled break and
// continue, return, throw) inside every pair of enclosing constructs (the
// loops, blocks, labelled blocks, if/else with and without braces, switch
// case and default, each part of try/catch/finally, with, nested
// functions). Each case is a function made with eval that runs the pair
// once for real and once as the untaken branch of an if, so the skipping
// scanner must find where the pair ends; every other case ends its
// statements with line breaks instead of semicolons. The expected traces
// in completions.out were written by a reference engine (`make matrix`
// runs this file through node).
var out = typeof print != "undefined" ? print : console.log;
var trace = [];
function log(s) { trace.push(s); }
function call(f) { return f(); }
var keys = {a: 1, b: 2};
var scope = {};
var yes = true, no = false;

// name, is a loop, takes an unlabelled break, is a function boundary,
// template ({d} depth, {B} body, {B1} a single statement, {L} label).
var constructs = [
  ["while", true, true, false,
   '{L}while (w{d} < 2) { w{d}++; log("W{d}" + w{d}); {B} log("w{d}"); }'],
  ["do", true, true, false,
   '{L}do { w{d}++; log("D{d}" + w{d}); {B} log("d{d}"); } while (w{d} < 2);'],
  ["for", true, true, false,
   '{L}for (var j{d} = 0; j{d} < 2; j{d}++) { log("F{d}" + j{d}); {B} log("f{d}"); }'],
  ["forin", true, true, false,
   '{L}for (var k{d} in keys) { log("I{d}" + k{d}); {B} log("i{d}"); }'],
  ["block", false, false, false, '{L}{ log("B{d}"); {B} log("b{d}"); }'],
  ["if", false, false, false, '{L}if (yes) { log("T{d}"); {B} log("t{d}"); }'],
  ["if-bare", false, false, false, '{L}if (yes) {B1}'],
  ["else", false, false, false,
   '{L}if (no) { log("never"); } else { log("E{d}"); {B} log("e{d}"); }'],
  ["else-bare", false, false, false, '{L}if (no) log("never"); else {B1}'],
  ["case", false, true, false,
   '{L}switch (2) { case 1: log("no"); case 2: log("S{d}"); {B} log("s{d}"); case 3: log("x{d}"); }'],
  ["default", false, true, false,
   '{L}switch (9) { case 1: log("no"); default: log("S{d}"); {B} log("s{d}"); case 3: log("x{d}"); }'],
  ["try-catch", false, false, false,
   '{L}try { log("Y{d}"); {B} log("y{d}"); } catch (e{d}) { log("C{d}" + e{d}); }'],
  ["try-finally", false, false, false,
   '{L}try { log("Y{d}"); {B} log("y{d}"); } finally { log("Z{d}"); }'],
  ["try-both", false, false, false,
   '{L}try { log("Y{d}"); {B} log("y{d}"); } catch (e{d}) { log("C{d}" + e{d}); } finally { log("Z{d}"); }'],
  ["catch", false, false, false,
   '{L}try { throw "x{d}"; } catch (e{d}) { log("C{d}" + e{d}); {B} log("c{d}"); }'],
  ["catch-finally", false, false, false,
   '{L}try { throw "x{d}"; } catch (e{d}) { log("C{d}" + e{d}); {B} log("c{d}"); } finally { log("Z{d}"); }'],
  ["finally", false, false, false,
   '{L}try { log("Y{d}"); } finally { log("Z{d}"); {B} log("z{d}"); }'],
  ["with", false, false, false, '{L}with (scope) { log("H{d}"); {B} log("h{d}"); }'],
  ["function", false, false, true, '{L}call(function () { log("N{d}"); {B} log("n{d}"); });']
];
var jumps = ["break", "continue", "break O", "break I", "continue O", "continue I", "return", "throw"];

// Is the jump legal where it stands (inside `inner` inside `outer`)?
function valid(outer, inner, jump) {
  // What the jump can reach: the inner construct, and the outer one unless
  // the inner is a function (labels and loops outside it are not seen).
  var reach = inner[3] ? [inner] : [inner, outer];
  var i;
  if (jump == "break" || jump == "continue") {
    for (i = 0; i < reach.length; i++) {
      if (reach[i][1] || (jump == "break" && reach[i][2])) return true;
    }
    return false;
  }
  if (jump == "return" || jump == "throw") return true;
  var target = jump.split(" ")[1] == "I" ? inner : outer;
  // A function construct's own label stands outside its body.
  if (target[3]) return false;
  if (target == outer && inner[3]) return false;
  return jump.split(" ")[0] == "break" || target[1];
}

function jumpStatements(jump) {
  if (jump == "return") return ['log("R");', 'return "ret";'];
  if (jump == "throw") return ['log("X");', 'throw "thrown";'];
  return ['log("J");', jump + ";"];
}

function fill(template, d, body, single, label) {
  return template.replace(/\{d\}/g, d).replace("{L}", label).replace("{B1}", single).replace("{B}", body);
}

// Wraps a body (a list of statements) into the construct. A bare if or
// else takes one statement: the ones before the last stand before it.
function build(c, d, stmts, label) {
  var prefix = label ? label + ": " : "";
  if (c[0].indexOf("-bare") >= 0) {
    var before = stmts.slice(0, stmts.length - 1);
    before.push(fill(c[4], d, "", stmts[stmts.length - 1], prefix));
    return before;
  }
  return [fill(c[4], d, stmts.join(" "), "", prefix)];
}

function caseSource(n, outer, inner, jump, newlines) {
  var labelled = jump.indexOf(" ") >= 0;
  var stmts = build(inner, 2, jumpStatements(jump), labelled ? "I" : "");
  stmts = build(outer, 1, stmts, labelled ? "O" : "");
  var lines = ["function c" + n + "(run) {", "  var w1 = 0; var w2 = 0;"];
  for (var i = 0; i < stmts.length - 1; i++) lines.push("  " + stmts[i]);
  lines.push("  if (run) " + stmts[stmts.length - 1]);
  lines.push('  else log("skipped");');
  lines.push('  log("end");');
  lines.push('  return "done";');
  lines.push("}");
  var text = lines.join("\n");
  if (newlines) text = text.replace(/; log\(/g, "\n log(").replace(/; return/g, "\n return");
  return text;
}

function run(f) {
  var r;
  trace = [];
  try { r = f(); } catch (e) { r = "threw " + e; }
  return trace.join(",") + " => " + r;
}

var n = 0;
for (var a = 0; a < jumps.length; a++) {
  for (var o = 0; o < constructs.length; o++) {
    for (var i = 0; i < constructs.length; i++) {
      var outer = constructs[o], inner = constructs[i], jump = jumps[a];
      if (!valid(outer, inner, jump)) continue;
      n++;
      var f = eval("(" + caseSource(n, outer, inner, jump, n % 2 == 0) + ")");
      out(jump + " in " + inner[0] + " in " + outer[0] + ": " +
          run(function () { return f(true); }) + " | " + run(function () { return f(false); }));
    }
  }
}
out(n + " cases");
