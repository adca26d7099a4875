// The Math object: constants, the shared entries and their argument rules.
print(Math.E, Math.LN10, Math.LN2, Math.LOG10E, Math.LOG2E, Math.PI, Math.SQRT1_2, Math.SQRT2);
print(typeof Math, typeof Math.sin, Math.max.length, Math.random.length);

// max and min take exactly two arguments
print(Math.max(1, 2, 3), Math.min(3, 2, 1), Math.max(-1, -2), Math.min("4", 5));
print(Math.max(NaN, 1), Math.max(1, NaN), Math.min(NaN, 1), Math.min(1, NaN));
print(1 / Math.max(0, -0), 1 / Math.max(-0, 0), 1 / Math.min(0, -0), 1 / Math.min(-0, 0));
try { Math.max(1); } catch (e) { print("caught", e.message); }
try { Math.max(); } catch (e) { print("caught", e.message); }
try { Math.pow(2); } catch (e) { print("caught", e.message); }
try { Math.sin(); } catch (e) { print("caught", e.message); }
try { Math.random(1, 2); print("random takes extra arguments"); } catch (e) { print("caught", e.message); }
print(Math.atan2(1), typeof Math.atan2(1));

// round is floor(x + 0.5)
print(Math.round(-0.5), 1 / Math.round(-0.5), Math.round(2.5), Math.round(-2.5), Math.round(-2.6), Math.round(NaN));
print(Math.round(0.49), Math.round(1e20), Math.round(-Infinity), 1 / Math.round(-0), Math.round("3.5"));

// the routines of one argument
print(Math.abs(-3), 1 / Math.abs(-0), Math.abs("-2"), Math.abs(null), Math.abs(undefined), Math.abs([]));
print(Math.floor(-1.5), Math.ceil(-1.5), 1 / Math.ceil(-0.5), Math.floor(2), Math.ceil(Infinity));
print(Math.sqrt(16), Math.sqrt(-1), Math.sqrt(Infinity), Math.exp(0), Math.exp(-Infinity), Math.log(1), Math.log(0), Math.log(-1));
print(Math.sin(0), Math.cos(0), Math.tan(0), Math.asin(1) * 2 == Math.PI, Math.acos(1), Math.atan(Infinity) * 2 == Math.PI, Math.acos(2));
print(Math.abs(Math.sin(Math.PI)) < 1e-15, Math.abs(Math.cos(Math.PI) + 1) < 1e-15, Math.abs(Math.tan(Math.PI / 4) - 1) < 1e-15);

// the routines of two arguments
print(Math.pow(2, 10), Math.pow(2, -1), Math.pow(-8, 1 / 3), Math.pow(4, 0.5), Math.pow(0, 0), Math.pow(NaN, 0));
print(Math.pow(1, NaN), Math.pow(1, Infinity), Math.pow(-1, -Infinity), Math.pow(2, NaN), Math.pow(NaN, 1));
print(Math.pow(0.5, Infinity), Math.pow(2, -Infinity), 1 / Math.pow(-0, 3), Math.pow(-2, 3));
print(Math.atan2(0, -1) == Math.PI, Math.atan2(1, 0) * 2 == Math.PI, 1 / Math.atan2(-0, 1), Math.atan2(NaN, 1));

// arguments are numbers after conversion; a failing conversion is the failure
print(Math.floor({valueOf: function () { return 7.5; }}), Math.max("10", "9"));
try { Math.floor({valueOf: function () { throw "no number"; }}); } catch (e) { print("caught", e); }
try { Math.max(1, {valueOf: function () { throw "second"; }}); } catch (e) { print("caught", e); }

// random stays in [0, 1)
var inRange = true;
for (var i = 0; i < 1000; i++) { var r = Math.random(); if (!(r >= 0 && r < 1)) inRange = false; }
print(inRange);
