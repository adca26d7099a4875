// toLocaleString of Object.prototype (the value of this's toString) and of
// Array.prototype (each element's toLocaleString, joined with ","; null and
// undefined give the empty text), on every kind of value and element.
var op = Object.prototype.toLocaleString;
function Named(n) { this.n = n; }
Named.prototype.toString = function () { return "<" + this.n + ">"; };
print("Object:", ({}).toLocaleString(), new Named(1).toLocaleString(), op.call([1, 2]), op.call(new Named(2)),
      op.call(5), op.call("s"), op.call(true), (function f() {}).toLocaleString() === (function f() {}).toString(),
      op.call(/x/g), op.call(new Error("e")), op.call(Math), op.call(Object.prototype));
// this as a primitive: its own toString is called with it.
var stringToString = String.prototype.toString;
String.prototype.toString = function () { return "string " + typeof this; };
print("primitive this:", "abc".toLocaleString(), ["abc"].toLocaleString());
String.prototype.toString = stringToString;
print("restored:", "abc".toLocaleString(), (12.5).toLocaleString(), true.toLocaleString());
// A toString that is not a function, or that throws, fails the call.
var noString = new Named(3);
noString.toString = 5;
try { noString.toLocaleString(); } catch (e) { print("toString not a function:", e.name); }
try { ({toString: function () { throw "from toString"; }}).toLocaleString(); } catch (e) { print("thrown:", e); }
// The result is what toString gives, even when it is not a string.
print("not a string:", typeof ({toString: function () { return 42; }}).toLocaleString(),
      ({toString: function () { return null; }}).toLocaleString());

// Array.prototype.toLocaleString.
var d = new Date(2001, 1, 3, 4, 5, 6);
print("Array:", [1, "a", true, null, undefined, 2.5].toLocaleString(), "|", [].toLocaleString(), "|",
      [null].toLocaleString(), "|", [undefined, undefined].toLocaleString(), "|",
      [[1, [2, null]], [], 3].toLocaleString());
print("dates:", [d].toLocaleString() === d.toLocaleString(), [d, d].toLocaleString() == d.toLocaleString() + "," + d.toLocaleString());
print("numbers:", [1e21, 0.1, -0, NaN].toLocaleString());
// Each element's own toLocaleString is used, not its toString.
var custom = {toLocaleString: function () { return "local"; }, toString: function () { return "plain"; }};
print("custom:", [custom, custom].toLocaleString(), [custom].toString(), [new Named(4)].toLocaleString());
// Non-string results are converted; objects through their toString.
print("converted:", [{toLocaleString: function () { return 7; }}, {toLocaleString: function () { return null; }},
      {toLocaleString: function () { return {toString: function () { return "obj"; }}; }}].toLocaleString());
// A method that throws, or is missing, stops the join with its error.
try {
    [1, {toLocaleString: function () { throw "element threw"; }}, 3].toLocaleString();
} catch (e) {
    print("element threw:", e);
}
try {
    [1, {toLocaleString: 5}].toLocaleString();
} catch (e) {
    print("not a function:", e.name);
}
// Holes and sparse arrays give separators only.
var sparse = [];
sparse[2] = 1;
sparse[5] = "x";
var huge = [];
huge[4000] = 9;
huge.length = 4002;
print("sparse:", sparse.toLocaleString(), huge.toLocaleString().length, huge.toLocaleString().charAt(4000));
// An array that holds itself gives the empty text where it meets itself again.
var self = [1, 2];
self[2] = self;
self[3] = [self, 4];
print("cycle:", self.toLocaleString());
// Array-likes and the method on other objects.
var like = {length: 3, 0: "a", 2: "c"};
print("array-like:", Array.prototype.toLocaleString.call(like), Array.prototype.toLocaleString.call("xyz"),
      Array.prototype.toLocaleString.call({}), (function () { return Array.prototype.toLocaleString.call(arguments); })(1, null, 3));
// Element callbacks run with the element as this.
var seen = [];
var numberLocale = Number.prototype.toLocaleString;
Number.prototype.toLocaleString = function () { seen.push(typeof this); return "n" + this; };
print("this of elements:", [1, 2].toLocaleString(), seen.join());
Number.prototype.toLocaleString = numberLocale;
print("arity:", Object.prototype.toLocaleString.length, Array.prototype.toLocaleString.length,
      Object.prototype.hasOwnProperty.length, Object.prototype.isPrototypeOf.length,
      Object.prototype.propertyIsEnumerable.length);
