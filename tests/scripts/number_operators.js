// Every binary operator on every kind of number, written four ways that
// take different routes through the interpreter: a literal right operand,
// a variable, parenthesised operands, and a compound assignment. All four
// must agree; the line shows the result (and "MISMATCH" where they do not).
var values = ["0", "-0", "1", "-1", "2.5", "-2.5", "7", "-7", "3", "0.1", "1e21", "NaN", "Infinity", "-Infinity",
              "2147483648", "-2147483649", "4294967296", "'5'", "'a'", "true", "null", "undefined"];
var ops = ["+", "-", "*", "/", "%", "<", ">", "<=", ">=", "==", "!=", "===", "!==", "&", "|", "^", "<<", ">>", ">>>"];
var compound = {"+": 1, "-": 1, "*": 1, "/": 1, "%": 1, "&": 1, "|": 1, "^": 1, "<<": 1, ">>": 1, ">>>": 1};

function show(v) { return v === 0 && 1 / v < 0 ? "-0" : String(v); }

function line(a, op) {
  var parts = [];
  for (var j = 0; j < values.length; j++) {
    var b = values[j];
    var lit = b.charAt(0) == "-" ? "(" + b + ")" : b;
    var text = "(function () { var x = " + a + ", y = " + b + ", z = x; var r = [x " + op + " " + lit +
               ", x " + op + " y, (x) " + op + " (y)";
    if (compound[op]) text += ", (z " + op + "= y)";
    text += "]; return r; })()";
    var r = eval(text);
    var first = show(r[0]), same = true;
    for (var k = 1; k < r.length; k++) if (show(r[k]) != first) same = false;
    parts.push(same ? first : "MISMATCH(" + r.join(" ") + ")");
  }
  return a + " " + op + ": " + parts.join(" ");
}

for (var i = 0; i < values.length; i++)
  for (var o = 0; o < ops.length; o++) print(line(values[i], ops[o]));
