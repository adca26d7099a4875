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
// A statement of an `if`'s block that fails after the block's first
// statements ran from the loop's form: the walker finishes the block from
// that statement, reports the failure and goes on in the block.
function h(n) {
  var a = 0, b = 0, c = 0, x = 1, i;
  for (i = 0; i < n; i++) {
    if (i > 2) { a = a + 1; b = b + x; c = i % 40 == 39 ? none.z : c + 1; a = a * 3 % 1000; }
    x = i == 70 ? "s" : x;
  }
  return [a, b, c, i].join(",");
}
print(h(130));
