// hasOwnProperty and propertyIsEnumerable on every kind of value and of
// property: stored names, dense and sparse elements, holes, and the
// computed properties (length, arity, prototype, the RegExp properties, the
// members of functions and arguments objects); for-in lists exactly what
// propertyIsEnumerable answers true for.
var keys = ["a", "b", "0", "1", "2", "5", "4000000000", "length", "arity", "prototype", "constructor",
            "toString", "year", "ms", "source", "global", "ignoreCase", "multiline", "lastIndex",
            "callee", "caller", "arguments", "__value", "$1", "lastMatch", "message", "name", "x", ""];

function listed(o) {
    var r = [];
    for (var k in o) r.push(String(k));
    return r.join(" ");
}
// The methods are called on the value itself, as v.hasOwnProperty(k).
function answers(v, method) {
    var r = [];
    for (var i = 0; i < keys.length; i++) if (v[method](keys[i])) r.push(keys[i] === "" ? "''" : keys[i]);
    return r.join(" ");
}
function show(name, v) {
    var own = answers(v, "hasOwnProperty");
    var enumerable = answers(v, "propertyIsEnumerable");
    print(name + ": own [" + own + "] enumerable [" + enumerable + "]");
    // Whatever for-in lists is enumerable and own (among the keys tried).
    if (typeof v == "object" || typeof v == "function") {
        var bad = [];
        for (var k in v) {
            var s = String(k);
            if (!v.propertyIsEnumerable(s) || !v.hasOwnProperty(s)) bad.push(s);
        }
        if (bad.length) print("  listed but not enumerable:", bad.join(" "));
    }
}

function Point(x) { this.x = x; }
Point.prototype.norm = function () { return this.x; };
var plain = {a: 1, b: undefined, "": 0};
var dense = [1, 2, 3];
delete dense[1];
dense.a = "named";
var sparse = [];
sparse[5] = 5;
sparse[4000000000] = 4;
var holey = [];
holey[0] = 0;
holey[2] = 2;
var fn = function (a, b) { return arguments; };
fn.x = 1;
var args = fn(7, 8);
var shortArgs = fn(7);
var deleted = fn(1, 2, 3);
delete deleted[1];
var date = new Date(2020, 0, 2);
var re = /a(b)/g;
re.lastIndex = 3;
"xab".match(/a(b)/);

show("plain", plain);
show("dense", dense);
show("sparse", sparse);
show("holey", holey);
show("empty array", []);
show("String object", new String("ab"));
show("string", "ab");
show("empty string", "");
show("Number object", new Number(5));
show("number", 5);
show("boolean", true);
show("instance", new Point(1));
show("Point.prototype", Point.prototype);
show("script function", fn);
show("native", Math.sin);
show("constructor", Array);
show("bound", fn.bind(null));
show("Function.prototype", Function.prototype);
show("arguments", args);
show("arguments, one given", shortArgs);
show("arguments, one deleted", deleted);
show("date", date);
show("Date.prototype", Date.prototype);
show("regexp", re);
show("RegExp", RegExp);
show("error", new TypeError("t"));
show("Math", Math);

// The name is converted to a string first: numbers, undefined, null,
// objects with their toString; a conversion that throws is the call's error.
var named = {undefined: 1, "null": 2, "1": 3, "1.5": 4, "[object Object]": 5};
print("converted names:", named.hasOwnProperty(undefined), named.hasOwnProperty(null),
      named.hasOwnProperty(1), named.hasOwnProperty(1.5), named.hasOwnProperty({}),
      named.hasOwnProperty({toString: function () { return "null"; }}), named.propertyIsEnumerable(1),
      [5, 6].hasOwnProperty(1), [5, 6].hasOwnProperty("01"), [5, 6].hasOwnProperty(-0));
try {
    named.hasOwnProperty({toString: function () { throw "thrown by toString"; }});
} catch (e) {
    print("throwing name:", e);
}
// Every own property found by the tests reads back through the object;
// deleting it leaves the object without it.
var o = {p: 1, q: 2};
o[3] = "three";
delete o.p;
print("after delete:", o.hasOwnProperty("p"), o.hasOwnProperty("q"), o.hasOwnProperty(3), listed(o));
o.p = undefined;
print("undefined value:", o.hasOwnProperty("p"), o.propertyIsEnumerable("p"), listed(o));
// Inherited properties are not own: the prototype has them.
var child = new Point(2);
print("inherited:", child.hasOwnProperty("norm"), Point.prototype.hasOwnProperty("norm"),
      child.hasOwnProperty("x"), child.propertyIsEnumerable("norm"), "norm" in child);
// The defensive idiom.
var count = 0;
for (var k in plain) if (plain.hasOwnProperty(k)) count++;
print("own names of plain:", count);
// The methods as methods of other objects, and called without an object.
print("call:", Object.prototype.hasOwnProperty.call([1], 0), Object.prototype.hasOwnProperty.call("abc", 2),
      Object.prototype.propertyIsEnumerable.call({z: 1}, "z"), Array.prototype.hasOwnProperty("push"),
      String.prototype.hasOwnProperty("length"), Array.prototype.hasOwnProperty("length"));
var loose = Object.prototype.hasOwnProperty;
try {
    loose("x");
} catch (e) {
    print("without an object:", e.name);
}
// Called with no name the methods are not entered (their arity is 1).
try {
    ({}).hasOwnProperty();
} catch (e) {
    print("no argument:", e.message);
}
try {
    ({}).propertyIsEnumerable();
} catch (e) {
    print("no argument:", e.message);
}
// call() makes an object of a primitive this: a wrapper, whose text is its own
// property __value (listed by for-in).
print("call on primitives:", Object.prototype.hasOwnProperty.call("ab", 1),
      Object.prototype.propertyIsEnumerable.call("ab", "__value"), listed(Object("ab")),
      Object.prototype.hasOwnProperty.call(5, "__value"));
// The built-in prototypes list their methods in table order, the new rows
// among them.
print("Object.prototype lists:", listed(Object.prototype));
print("Array.prototype lists:", listed(Array.prototype));
// Through a with scope the methods are called on the scope's object.
var scoped = {inside: 1};
with (scoped) print("with:", hasOwnProperty("inside"), hasOwnProperty("hasOwnProperty"), propertyIsEnumerable("inside"));
// for-in skips an element deleted from an arguments object, as the tests do.
function remaining() {
    delete arguments[0];
    var r = [];
    for (var k in arguments) r.push(k + (arguments.propertyIsEnumerable(k) ? "" : "?"));
    return r.join(" ");
}
print("arguments after delete:", remaining("a", "b"));
