// Conversions and operators as scripts see them.

// Text to number.
print("numbers:", Number("  -Infinity"), Number("0x1A"), Number("12abc"), Number(""), Number(" "),
      Number("\t 7 "), Number("1e3"), Number(".5"), Number("-"), 1 / Number("-0"));
// Integer reductions: rounding away from zero, wrapping.
print("int32:", 4294967295 | 0, 2147483648 | 0, -1 >>> 0, 2.5 | 0, -2.5 | 0, Infinity | 0, NaN >>> 0);
print("strings of numbers:", String(-0), String(1e21), String(1e-7), String(0.1 + 0.2), (-1.5).toString());
// Objects to strings: methods returning objects are passed over.
var both = {valueOf: function () { return {}; }, toString: function () { return {}; }};
try { print(String(both)); } catch (e) { print("no primitive:", e.message); }
var onlyValue = {valueOf: function () { return 42; }, toString: function () { return {}; }};
print("valueOf used:", String(onlyValue), onlyValue + 1, onlyValue + "");

// Addition orders.
print("addition:", 4 + "3", "3" + 4, 3 + 4 + "5", "3" + 4 + 5, "3" * "4", "6" / "2", "a" - 1);
// Shifts and remainders.
print("shifts:", 1 << 33, -1 >>> 0, -1 >> 28, 1 << 31, -8 >>> 28, 5 >>> 32);
print("remainders:", -5 % 3, 5 % -3, -5 % -3, 5.5 % 2, 1 / (-4 % 2), 5 % 0);

// Equality tables.
print("loose:", NaN == NaN, null == undefined, null == 0, undefined == 0, "1" == true, "" == 0,
      "0" == false, [1] == 1, [] == "", ({}) == "[object Object]");
print("strict:", NaN === NaN, 0 === -0, "1" === 1, null === undefined, undefined === undefined);
// Byte order, not the locale.
print("order:", "a" < "b", "10" < "9", "10" < 9, "Z" < "a", "\xe9" > "z", "ab" < "abc", NaN < NaN);

// instanceof looks at the immediate prototype only.
function Base() {}
function Derived() {}
Derived.prototype = new Base();
var d = new Derived();
print("instanceof:", [] instanceof Array, [] instanceof Object, d instanceof Derived, d instanceof Base,
      new Error("x") instanceof Error, new TypeError("x") instanceof Error);
try { d instanceof d; } catch (e) { print("not a function:", e.message); }
print("typeof:", typeof Math.sin, typeof new String("s"), typeof null, typeof [], typeof undefinedName);
