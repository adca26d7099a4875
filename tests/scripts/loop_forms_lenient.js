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

// A loop inside a loop that the walker takes over after a give-up (u.v of
// undefined: no form reads it), where the read then fails in a lenient
// run: reported, the rest of the failed statement abandoned as the walker
// abandons it. With and without braces around each body.
var u;
function inner(k) {
  var a = 0, b = 0, i, j;
  if (k == 0) for (i = 0; i < 6; i++) for (j = 0; j < 3; j++) a = i > 3 ? a + u.v : a + j;
  if (k == 1) for (i = 0; i < 6; i++) { for (j = 0; j < 3; j++) a = i > 3 ? a + u.v : a + j; }
  if (k == 2) for (i = 0; i < 6; i++) for (j = 0; j < 3; j++) { a = i > 3 ? a + u.v : a + j; b++; }
  if (k == 3) for (i = 0; i < 6; i++) { j = 0; while (j < 3) { a = i > 3 ? a + u.v : a + j; b++; j++; } b += 10; }
  return [a, b, i, j].join(",");
}
for (var k = 0; k < 4; k++) print("inner " + k + ": " + inner(k));
