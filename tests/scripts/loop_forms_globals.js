// Loops at a program's top level store into program-level variables from
// their forms: the variable turning into a string, a function later having
// a local of the same name, a with scope, a catch scope, a variable made
// by assignment alone, and the counters of a for loop.
var out = typeof print != "undefined" ? print : console.log;
var total = 0, step = 1, word = 0, count = 0;
for (var gi = 0; gi < 300; gi++) {
  total = total + gi * step;
  count++;
  if (gi == 150) word = "w";
  word = word + 1;
}
out("sums", total, count, gi, word);

// A name some function declares later as a local: the program-level
// variable is then looked for among the locals first.
var shadowed = 0;
function declares() { var shadowed = 5; return shadowed; }
for (var gj = 0; gj < 200; gj++) {
  shadowed += 2;
  if (gj == 100) declares();
}
out("shadowed", shadowed, gj, declares());

// Inside with and catch scopes the names are the scope's first.
var scope = {wx: 100}, wx = 0;
with (scope) {
  for (var gk = 0; gk < 50; gk++) wx = wx + 1;
}
out("with", wx, scope.wx, gk);
try { throw 7; } catch (ce) {
  for (gk = 0; gk < 50; gk++) ce = ce + 1;
  out("catch", ce);
}

// Assignment alone makes a program-level variable; counting down to it.
for (var gm = 0; gm < 64; gm++) made = gm * 2;
var down = 100;
while (down > 0) down--;
out("made", made, down, gm);

// A compound assignment that meets a string, and an object stored.
var acc = 0, holder = null;
for (var gn = 0; gn < 40; gn++) {
  acc += gn;
  if (gn == 30) acc = "s";
  holder = scope;
}
out("compound", acc, holder === scope);
