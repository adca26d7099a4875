// String constructor and the non-pattern methods of strings.
function codes(s) {
    var out = [];
    for (var i = 0; i < s.length; i++) out.push(s.charCodeAt(i));
    return out.join(" ");
}

// constructor and fromCharCode
print(String(), String().length, String(12.5), String(null), String(undefined), String(true), String([1, 2]));
var w = new String("wrap");
print(typeof w, w.length, w.charAt(1), w + "!", w.toString(), w.valueOf(), typeof w.valueOf());
print(String.fromCharCode(72, 105, 321), String.fromCharCode().length, codes(String.fromCharCode(-1, 256, 65.9, "66")));
print(codes(String.fromCharCode(NaN)));

// charAt and charCodeAt
print("abc".charAt(3) === "", "abc".charAt(-1) === "", "abc".charAt(0), "abc".charAt(2.9), "abc".charAt("1"));
print("abc".charCodeAt(-1), "abc".charCodeAt(), "abc".charCodeAt(2), "abc".charCodeAt(3), "".charCodeAt(0));
print("\xff".charCodeAt(0), "\x80".charCodeAt(0));

// indexOf and lastIndexOf
print("abcabc".indexOf("c", 3), "abc".indexOf("", 9), "abc".indexOf("abcd"), "abc".indexOf(), "abc".indexOf("b", -5));
print("aaa".indexOf("aa", 1), "aaa".indexOf("aa", 2), "abc".indexOf("c", 2), "abc".indexOf("", 1), "a1b".indexOf(1));
print("abcabc".lastIndexOf("b"), "abcabc".lastIndexOf("b", 3), "abcabc".lastIndexOf("b", 0), "abc".lastIndexOf(""));
print("abc".lastIndexOf("c", -1), "abc".lastIndexOf("abcd"), "abcabc".lastIndexOf("abc", 99), "abcabc".lastIndexOf("abc", 2));
print("aXbXc".lastIndexOf("X"), "xx".lastIndexOf("x", 0), "undefined!".lastIndexOf(), "abc".lastIndexOf("", 1));
var hay = "";
for (var i = 0; i < 200; i++) hay += "ab";
hay += "abc";
print(hay.indexOf("abc"), hay.lastIndexOf("ab"), hay.lastIndexOf("ba"), hay.indexOf("ca"));

// substring, substr, slice
print("hello".substring(4, 1), "hello".substring(1, 4), "hello".substring(3), "hello".substring(-2, 2), "hello".substring(2, 99));
print("hello".substring(), "hello".substring(NaN, 2), "[" + "hello".substring(3, 3) + "]", "hello".substring(1, undefined));
print("hello".substr(-3, 2), "hello".substr(1), "hello".substr(1, 0) === "", "hello".substr(9) === "", "hello".substr(-9, 2));
print("hello".substr(2, -1) === "", "hello".substr(1, 99), "hello".substr());
print("hello".slice(-3), "hello".slice(1, -1), "hello".slice(3, 1) === "", "hello".slice(-99, 2), "hello".slice(), "hello".slice(2, undefined));

// concat
print("abc".concat(1, null, [2, 3]), "a".concat(), "".concat("x", "y"), "abc".concat({toString: function () { return "!"; }}));

// case mapping: Latin-1 for the plain forms
print("Hello World".toLowerCase(), "Hello World".toUpperCase());
var all = "";
for (var c = 160; c < 256; c++) all += String.fromCharCode(c);
print(codes(all.toUpperCase()));
print(codes(all.toLowerCase()));
print(codes("\xe0\xff".toUpperCase()), codes("\xd7\xf7\xdf".toUpperCase()), codes("\xd7\xf7\xde".toLowerCase()));
print("abc".toLocaleUpperCase(), "ABC".toLocaleLowerCase(), codes("\xc0".toLocaleLowerCase()), codes("\xe9".toLocaleUpperCase()));

// localeCompare: only the sign is fixed
function sign(n) { return n < 0 ? -1 : (n > 0 ? 1 : 0); }
print(sign("b".localeCompare("a")), sign("a".localeCompare("B")), sign("a".localeCompare("a")), sign("a".localeCompare("ab")));
print(sign("\xe9".localeCompare("f")), sign("e".localeCompare("\xe9")), sign("1".localeCompare(1)));

// methods on other values through their text
print(String.prototype.charAt.call(12345, 1), String.prototype.indexOf.call(true, "u"), "x".concat.call(5, 6));
print(String.charAt("abc", 1), String.indexOf("hello", "l"), String.substring("hello", 1, 3), String.toUpperCase("q"));
print(String.slice("hello", -2), String.concat("a", "b", "c"), String.charCodeAt("A"), String.lastIndexOf("aXa", "a"));

// toString and valueOf need a string
try { String.prototype.toString.call(3); } catch (e) { print("caught", e.name); }
try { String.prototype.valueOf.call({}); } catch (e) { print("caught", e.name); }
var bogus = new String("s"); bogus.__value = 5;
try { bogus.toString(); } catch (e) { print("caught", e.name); }

// a failing conversion of an argument is the method's failure
var loud = {toString: function () { throw "no text"; }};
try { "abc".indexOf(loud); } catch (e) { print("caught", e); }
try { "abc".charAt({valueOf: function () { throw "no number"; }}); } catch (e) { print("caught", e); }
