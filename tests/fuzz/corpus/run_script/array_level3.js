// args: -c 3
// The older forms of compatibility level 3.
var one = Array(3);
print(one.length, one[0], typeof one[0], Array(3, 4).length, Array("3")[0]);
var a = [1, 2];
print(a.push(3), a.push(4, "five"), a.push(), a.length);
print([1, "two", null, undefined, true, 2.5].toString());
print(String([["a", 1], [], "b"]), [1, 2].join(), [[1, "x"]].join(";"));
print([].toString(), ["quote\"d"].toString());
var s = [1, 2, 3, 4, 5];
print(s.splice(1, 1), typeof s.splice(0, 0), s.splice(0, 2), s);
var one2 = [7];
print(one2.splice(0), one2.length);
var hole = [1]; hole[2] = 3;
print(typeof hole.splice(1, 1), hole);
var self = [1]; self.push(self);
print(self.toString());
