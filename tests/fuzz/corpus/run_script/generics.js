// The static generics of Array and String call the prototype method of the
// same name with the first argument, as an object, for this.
print(Array.join([1, 2, 3], "-"), Array.slice("abc", 1).length, String.charAt("abc", 1), String.toUpperCase(5.5),
      String.concat(1, 2));
Array.prototype.join = function (sep, more) {
    return typeof this + " " + Object.prototype.toString.call(this) + " " + this.length + " " + sep + " " +
           more + " " + arguments.length;
};
print(Array.join([1, 2, 3], "-"));
print(Array.join([1, 2, 3]));
print(Array.join("ab", 1, 2, 3));
print(Array.join(), Array.join(undefined, "x"));
Array.prototype.join = "not a function";
print(Array.join([1], "-"));
delete Array.prototype.join;
print(Array.join([1], "-"));
String.prototype.charAt = function (i) { return this.length + " " + i + " " + Object.prototype.toString.call(this); };
print(String.charAt("abc", 1));
print(String.charAt(42, 0));
String.prototype.toUpperCase = function () { return "up " + arguments.length; };
print(String.toUpperCase("x"));
try { String.toUpperCase(); } catch (e) { print("String.toUpperCase():", e.message); }
Array.prototype.pop = function () { throw "from pop"; };
try { Array.pop([1]); } catch (e) { print("thrown through:", e); }
