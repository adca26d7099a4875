// Object, Boolean and the prototypes global setup builds.
var ts = Object.prototype.toString;
print("class names:", ts.call([]), ts.call(Object("s")), ts.call(Object(1)), ts.call(Object(true)),
      ts.call(new Error("x")), ts.call(new TypeError("x")), ts.call(Math), ts.call({}));
print("functions:", ts.call(function () {}), ts.call(Math.sin), ts.call(Function.prototype),
      ts.call(Object), ts.call(Function("return 1")));
(function () { print("arguments:", ts.call(arguments)); })(1, 2);
print("prototypes:", ts.call(Array.prototype), ts.call(String.prototype), ts.call(Number.prototype),
      ts.call(Boolean.prototype), ts.call(Error.prototype), ts.call(RangeError.prototype),
      ts.call(Object.prototype));
print("this converted:", ts.call(5), ts.call("s"), ts.call(true), ts.call(null), ts.call(undefined));
var plain = {a: 1};
print("plain objects:", plain.toString(), "" + plain, plain.valueOf() === plain, Object.prototype.toString());
print("Object():", typeof Object(), ts.call(Object()), typeof new Object(), Object(plain) === plain,
      typeof Object(5), Object(5) + 1, Object("ab").length, typeof Object(null), typeof Object(undefined));

// Boolean
print("Boolean():", Boolean(), Boolean(""), Boolean("0"), Boolean(0), Boolean(NaN), Boolean({}),
      Boolean(null), Boolean(-1), typeof Boolean(1));
var f = new Boolean(false);
print("new Boolean(false):", typeof f, f.valueOf(), f.toString(), f ? "truthy" : "falsy", !f);
print("Boolean.prototype:", Boolean.prototype.valueOf(), Boolean.prototype.toString(),
      true.toString(), false.valueOf());
try { Boolean.prototype.toString.call(1); } catch (e) { print("Boolean toString on 1:", e.message); }
try { Boolean.prototype.valueOf.call({}); } catch (e) { print("Boolean valueOf on {}:", e.message); }

// The prototype graph: instanceof compares the immediate prototype.
print("graph:", Object.prototype instanceof Object, Function.prototype instanceof Object,
      Array.prototype instanceof Object, Number.prototype instanceof Object, Math instanceof Object,
      Debug instanceof Object, Error.prototype instanceof Object, RangeError.prototype instanceof Error,
      URIError.prototype instanceof Error, RangeError.prototype instanceof Object);
print("constructors:", Object.prototype.constructor === Object, Function.prototype.constructor === Function,
      Boolean.prototype.constructor === Boolean, TypeError.prototype.constructor === TypeError);
print("wrapper prototypes:", String.prototype.length, Number.prototype + 0, Boolean.prototype == false);
print("Function.prototype:", typeof Function.prototype, Function.prototype(), Function.prototype(1, 2));
print("typeof:", typeof Object, typeof Math, typeof Debug, typeof Math.abs, typeof Debug.write);
// A class flag earlier in the order wins: the RegExp constructor is a function.
print("order:", ts.call(RegExp), ts.call(Date), ts.call(new Date(0)), ts.call(Date.prototype));
// The wrapped value must still be of the wrapper's kind.
var bw = new Boolean(true);
bw.__value = 1;
try { bw.valueOf(); } catch (e) { print("Boolean with a number inside:", e.message); }
var nw = new Number(1);
nw.__value = "1";
try { nw.toFixed(1); } catch (e) { print("Number with a string inside:", e.message); }
var own = new Number(4);
own.__value = 7;
print("replaced value:", own.valueOf(), own.toString(2), own + 1);
