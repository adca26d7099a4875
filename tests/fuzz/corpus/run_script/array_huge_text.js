// A text longer than a string can hold fails as out of memory, which no
// try catches: the run ends with result 1.
var a = [];
a[4000000000] = 1;
print(a.join("").length);
try {
    a.join(",");
} catch (e) {
    print("not reached");
}
print("not reached either");
