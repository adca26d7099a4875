// Functions reach Object.prototype through Function.prototype; every
// script function's prototype object names it as its constructor; instanceof
// still compares only the immediate prototype; isPrototypeOf walks the whole
// chain.
function Base() {}
function Sub() {}
var bound = Sub.bind(null);
var kinds = [["script function", Sub], ["function expression", function () {}], ["native", Math.max],
             ["constructor", Array], ["bound", bound], ["Function.prototype", Function.prototype],
             ["Function()", Function("return 1")], ["RegExp", RegExp]];

// A method added to Object.prototype, and one added to Function.prototype.
Object.prototype.inheritsFrom = function (base) { return typeof this + " from " + typeof base; };
Function.prototype.describe = function () { return "fn/" + this.length; };
Object.prototype.shared = "object";
for (var i = 0; i < kinds.length; i++) {
    var f = kinds[i][1];
    print(kinds[i][0] + ":", f.inheritsFrom(Base), f.describe(), f.shared, typeof f.hasOwnProperty,
          f.hasOwnProperty("length"), f.hasOwnProperty("shared"), "shared" in f, "inheritsFrom" in f,
          Object.prototype.isPrototypeOf(f), Function.prototype.isPrototypeOf(f), f.toLocaleString() === f.toString());
}
// The chain of Function.prototype itself ends at Object.prototype.
print("Function.prototype:", Function.prototype.shared, Object.prototype.isPrototypeOf(Function.prototype),
      Function.prototype.isPrototypeOf(Function.prototype), Function.prototype.isPrototypeOf(Object.prototype));
// A property of the function itself, and of Function.prototype, hides Object.prototype's.
Sub.shared = "own";
Function.prototype.shared = "function";
print("hiding:", Sub.shared, Base.shared, Math.max.shared, ({}).shared);
delete Function.prototype.shared;
delete Sub.shared;
print("after delete:", Sub.shared, Math.max.shared, bound.shared);
delete Object.prototype.shared;
print("gone:", typeof Sub.shared, typeof Math.max.shared, typeof ({}).shared);
// Elements of Object.prototype are found the same way, by reads and by `in`.
Object.prototype[5] = "five";
print("elements:", Math.max[5], 5 in Math.max, Sub[5], 5 in Sub, bound[5], "5" in bound, Function.prototype[5],
      5 in Function.prototype, Math.max.hasOwnProperty(5));
delete Object.prototype[5];
print("elements gone:", Math.max[5], 5 in Math.max, 5 in Sub);

// instanceof compares the immediate prototype only.
print("instanceof:", Sub instanceof Function, Sub instanceof Object, Math.max instanceof Function,
      Function.prototype instanceof Object, Function.prototype instanceof Function, [] instanceof Object,
      new Sub() instanceof Sub, new Sub() instanceof Object, Object.prototype instanceof Object);

// isPrototypeOf walks the whole chain; anything but an object gives false.
Sub.prototype = new Base();
var s = new Sub();
print("isPrototypeOf:", Base.prototype.isPrototypeOf(s), Sub.prototype.isPrototypeOf(s),
      Object.prototype.isPrototypeOf(s), s.isPrototypeOf(s), Array.prototype.isPrototypeOf([]),
      Object.prototype.isPrototypeOf([]), Array.prototype.isPrototypeOf({}), Object.prototype.isPrototypeOf(5),
      Object.prototype.isPrototypeOf("x"), Object.prototype.isPrototypeOf(null),
      Error.prototype.isPrototypeOf(new RangeError("r")), Object.prototype.isPrototypeOf(Object.prototype),
      Object.prototype.isPrototypeOf.call(5, 5), Number.prototype.isPrototypeOf(new Number(1)));
try {
    Object.prototype.isPrototypeOf();
} catch (e) {
    print("isPrototypeOf():", e.message);
}

// constructor: the prototype object made for a script function names it.
function Point(x) { this.x = x; }
var p = new Point(1);
print("constructor:", p.constructor === Point, Point.prototype.constructor === Point, p.hasOwnProperty("constructor"),
      Point.prototype.hasOwnProperty("constructor"), typeof Point.prototype, (function () {}).prototype.constructor !== Object,
      new (p.constructor)(5).x, Function("a", "this.a = a").prototype.constructor.length);
var names = [];
for (var k in Point.prototype) names.push(k);
print("listed by for-in:", names.join(), Point.prototype.propertyIsEnumerable("constructor"));
// Each function made from the same definition has its own prototype object.
function make() { return function () {}; }
var m1 = make(), m2 = make();
print("one each:", m1.prototype !== m2.prototype, m1.prototype.constructor === m1, m2.prototype.constructor === m2);
// A prototype object the script puts in place has the constructor it was given.
function Animal() {}
Animal.prototype = {speak: function () { return "..."; }};
var a = new Animal();
print("replaced:", a.constructor === Animal, a.constructor === Object, a.speak(), a instanceof Animal,
      Animal.prototype.hasOwnProperty("constructor"));
Animal.prototype.constructor = Animal;
print("restored:", new Animal().constructor === Animal);
// Inheritance the ES3 way: the subclass's prototype is an instance of the base.
function Shape(name) { this.name = name; }
Shape.prototype.describe = function () { return "a " + this.name; };
function Circle(r) { this.r = r; }
Circle.prototype = new Shape("circle");
Circle.prototype.constructor = Circle;
var c = new Circle(2);
print("subclass:", c.describe(), c.constructor === Circle, c instanceof Circle, c instanceof Shape,
      Shape.prototype.isPrototypeOf(c), c.hasOwnProperty("name"), Circle.prototype.hasOwnProperty("name"));
// A prototype replaced by a value that is not an object.
function Odd() {}
Odd.prototype = 7;
print("not an object:", typeof Odd.prototype, Odd.prototype.constructor === Odd, typeof new Odd().constructor);
// Built-in constructors and their prototypes.
print("built-ins:", [].constructor === Array, "".constructor === String, (5).constructor === Number,
      true.constructor === Boolean, /x/.constructor === RegExp, new Date(0).constructor === Date,
      new TypeError("t").constructor === TypeError, Sub.constructor === Function, ({}).constructor === Object);
delete Object.prototype.inheritsFrom;
delete Function.prototype.describe;
