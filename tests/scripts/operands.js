// Binary operators whose right side is a lone variable or literal: locals,
// program-level variables, literals, names shadowed by with and by locals of
// the same name, values that are not numbers, and tighter operators after.
var g = 2, s = "7", u;
function f(x) {
    var y = 3;
    return [x + y * g - y % g << 1 | g ^ y & x, x - y - g, x / g * y, x % y % g, x < y == g > y];
}
print(f(5).join(" "), f(-4.5).join(" "));
print(1 + g, 1 + s, g * s, g + u, g - null, g + true, 10 - 2 - 3, 2 * 3 + 4 * 5, 1 - -g);
print(1 << 31 >> 31, -1 >>> 28, 5 & 3 | 8 ^ 2, 7 % 4 * 2, 2 + 3 < 6, 9 >= 3 * 3 != false);
with ({g: "w"}) print(1 + g, g + 1);
function h() { var g = 10; return [1 + g, g * g]; }
print(h().join(" "), 1 + g);
function k(g) { return 1 + g; }
print(k(40), k("x"), 1 + g);
var n = 0;
for (var i = 0; i < 10; i++) n = n * 3 + i % 4 - (i & 1);
print(n, i, 0.1 + 0.2, 1 / 0, -1 / 0, 0 / 0);
function late() { return q + 1; }
print(late());
var q = 41;
print(late());
// Compound assignments on number variables, every operator.
var c = 2.5, r = [];
c |= 0; r.push(c); c ^= 7; r.push(c); c &= 6; r.push(c); c <<= 30; r.push(c);
c >>= 29; r.push(c); c = -1; c >>>= 0; r.push(c); c %= 7; r.push(c);
c = -4; c %= 2; r.push(1 / c); c = 5.5; c %= -2; r.push(c); c = 1e20; c |= 0; r.push(c);
c = 3; c += 0.5; c -= 1; c *= 4; c /= 0; r.push(c);
c = 1; c <<= 33; r.push(c); c = NaN; c &= 1; r.push(c);
function local() { var x = 2463534242, acc = 0; x ^= x << 13; x ^= x >> 17; x ^= x << 5; acc += x >>> 16; return [x, acc]; }
print(r.join(" "), local().join(" "));
// Postfix ++ and -- on names: strings, undefined, in expressions, globals.
var s2 = "5", u2, k = 1, o2 = {valueOf: function () { return 41; }};
s2++; u2--; o2++;
print(s2, typeof s2, u2, o2, k++ + k++, k, k-- * 2, k, g++, g);
function incs() { var a = 1, b = a++; b--; return [a, b, a++ < 2, a]; }
print(incs().join(" "));
// var statements run again and again: numbers, strings and objects, a
// parameter redeclared, a var inside with.
function vars(p) {
    var out = [];
    for (var i = 0; i < 3; i++) {
        var n = i * 2, s = "s" + i, o = {v: i};
        var p = p + 1;
        with ({n: "w"}) { var n = "in with"; }
        out.push(n + "/" + s + "/" + o.v + "/" + p);
    }
    return out.join(" ");
}
print(vars(10), vars("x"));
