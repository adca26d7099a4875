// Number: the constructor, the constants and the formatting methods.
print("Number():", Number(), Number("12"), Number("0x1A"), Number("  12px"), Number(""), Number(" "),
      Number(true), Number(null), Number(undefined), Number("-Infinity"), typeof Number("1"));
var wrapped = new Number(5);
print("new Number:", typeof wrapped, wrapped + 1, wrapped.valueOf(), wrapped.toString(2),
      Object.prototype.toString.call(wrapped));
print("constants:", Number.MIN_VALUE, Number.MIN_VALUE / 2, Number.MIN_VALUE > 0, Number.MAX_VALUE,
      Number.MAX_VALUE * 2, Number.NaN, Number.POSITIVE_INFINITY, Number.NEGATIVE_INFINITY);
print("prototype:", Number.prototype.valueOf(), Number.prototype.toFixed(1), Number.prototype.toString());

print("toString:", (255).toString(16), (255).toString(), (255).toString(10), (255).toString(10.9),
      (-255).toString(2), (0.5).toString(2), (3.75).toString(16), (35).toString(36), (-0).toString(),
      (0.1 + 0.2).toString(), (1e21).toString(), (1e-7).toString(), (123.456).toString(10));
print("toFixed:", (123.456).toFixed(1), (1e21).toFixed(2), (0).toFixed(2), (2.5).toFixed(0),
      (-1.5).toFixed(0), (1.005).toFixed(2), (1.5).toFixed(-1), (123.456).toFixed(-2), (-0).toFixed(1),
      (0.000001).toFixed(7), (5).toFixed(), (1.45).toFixed(20));
print("toExponential:", (1.5).toExponential(2), (12345).toExponential(), (1).toExponential(0),
      (0).toExponential(), (-1.5e-7).toExponential(3), (123456).toExponential(1));
print("toPrecision:", (123456).toPrecision(2), (0.00001).toPrecision(1), (0.000001).toPrecision(1),
      (0.0000001).toPrecision(1), (123.456).toPrecision(4), (5).toPrecision(), (1e21).toPrecision(),
      (99.99).toPrecision(3), (1).toPrecision(3));
print("toLocaleString:", (1234.5678).toLocaleString(), (1e-7).toLocaleString(), (-0.5).toLocaleString());
print("limits:", (1).toFixed(100).length, (1).toExponential(100).length, (1).toPrecision(100).length,
      (1.5).toFixed(-20));
print("special values:", (NaN).toFixed(2), (Infinity).toExponential(200), (-Infinity).toPrecision(0),
      (NaN).toString(37), (-Infinity).toString(2), (Infinity).toLocaleString());

function bad(what, f) {
    try {
        print(what, "gave", f());
    } catch (e) {
        print(what, e.name, e.message);
    }
}
bad("toString(37)", function () { return (1).toString(37); });
bad("toString(1)", function () { return (1).toString(1); });
bad("toString(undefined)", function () { return (1).toString(undefined); });
bad("toFixed(101)", function () { return (1.5).toFixed(101); });
bad("toFixed(-21)", function () { return (1.5).toFixed(-21); });
bad("toExponential(-1)", function () { return (1).toExponential(-1); });
bad("toExponential(101)", function () { return (1).toExponential(101); });
bad("toPrecision(0)", function () { return (1).toPrecision(0); });
bad("toPrecision(101)", function () { return (1).toPrecision(101); });
bad("toFixed on a string", function () { return Number.prototype.toFixed.call("5", 1); });
bad("valueOf on an object", function () { return Number.prototype.valueOf.call({}); });
bad("toString on a Boolean", function () { return Number.prototype.toString.call(new Boolean(true)); });
var fake = {};
fake.valueOf = Number.prototype.valueOf;
bad("valueOf as a method", function () { return fake.valueOf(); });
