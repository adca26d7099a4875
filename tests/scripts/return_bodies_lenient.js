// args: -l
// Functions whose body starts with a `return`, in a lenient run: a return
// that fails is reported, abandoned, and the body goes on with its next
// statement, whether the return ran from its form or was walked.
var none;
var after = 0;
function risky(o, i) { return o.f(i) + 1; after++; return -1; }
function member(o) { return o.x.y; after += 10; }
var sum = 0;
for (var i = 0; i < 30; i++) {
  sum += risky({ f: function (k) { return k * 2; } }, i);
  if (i % 10 == 9) print("risky " + risky(none, i) + " after " + after);
}
print("sum " + sum);
// The callee is not a function: the form makes the call, which fails.
for (i = 0; i < 6; i++) print("not callable " + risky({ f: i < 3 ? function (k) { return k; } : 5 }, i) + " after " + after);
for (i = 0; i < 25; i++) {
  var v = member({ x: i % 12 == 11 ? null : { y: i } });
  if (v === undefined) print("member " + i + " undefined, after " + after);
}
function broken(a) { return a +
  * 2; }
for (i = 0; i < 3; i++) print("broken " + broken(i));
