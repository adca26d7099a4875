// args: -l
// Loops run from their remembered forms in a lenient run: a statement that
// fails, whether the walker runs it from the loop's form or the form gives
// it up, is reported, the rest of it abandoned, and the pass goes on with
// the next statement of the body, as it does when the loop is walked.
var none;
function f(n) {
  var a = 0, b = 0, log = [], i;
  for (i = 0; i < n; i++) {
    a = a + i;
    if (i % 50 == 49) a = none.x;
    log.push(none.y), b = b + 1;
    b = b + 2;
  }
  return [a, b, log.length].join(",");
}
print(f(120));
function g(n) {
  var a = 0, i = 0;
  while (i < n) {
    a = a + i;
    if (i == 60) a = a +
      * 2;
    i++;
  }
  return a + "," + i;
}
print(g(140));
