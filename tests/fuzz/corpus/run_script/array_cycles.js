// An array met again while it is being joined gives the empty text, so
// arrays that contain themselves print; very deep nesting is refused.
var a = [1, 2];
a.push(a);
print(a.join(), a.toString(), String(a), a.join("-"));
var b = ["b"], c = ["c", b];
b.push(c);
print(b.join(";"), c.join(";"));
var holder = {list: null};
holder.list = [holder, "x"];
holder.toString = function () { return "H(" + this.list.join() + ")"; };
print(holder.list.join("|"));
// the same array twice side by side is not a cycle
var d = [1];
print([d, d].join(";"));
// a thousand levels of nesting is more than a join may go
var deep = [], cur = deep;
for (var i = 0; i < 1000; i++) { var next = ["v"]; cur.push(next); cur = next; }
try { deep.join(); } catch (e) { print("caught", e.name, e.message); }
// a hundred levels are fine
var ok = [], at = ok;
for (var i = 0; i < 100; i++) { var n = [i]; at.push(n); at = n; }
print(ok.join().length);
