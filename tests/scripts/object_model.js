// Keys, elements, holes, lengths and the computed properties of functions
// and invocations.

// Which keys are indexes.
var a = [];
a[1.5] = "number key"; a["1.5"] = "string key";
a["01"] = "leading zero"; a["4294967295"] = "too big"; a["4294967294"] = "last index";
print("keys:", a.length, a[1], a["1.5"], a["01"], a[1] === a["1"], a[4294967295], a[4294967294]);
var k = {toString: function () { return "3"; }};
var b = []; b[k] = "via object";
print("object key:", b.length, b[3], b["3"]);

// Length: truncation and growth, on arrays and arguments objects.
var c = [0, 1, 2, 3, 4, 5];
c[1000000] = "far";
c.length = 3;
print("truncated:", c.length, c.join("|"), c[1000000], 5 in c);
c.length = 6;
print("grown:", c.length, c.join("|"), 4 in c);
function args() {
    arguments.length = 1;       // a stored property: the elements stay
    var first = [arguments.length, arguments[2]];
    Array.prototype.pop.call(arguments);
    return first.concat([arguments.length, arguments[0]]);
}
print("arguments length:", args("x", "y", "z"));
var s = new String("text"); s.length = 1;
var o = {}; o.length = 3;
print("other lengths:", s.length, o.length, (function (p, q) {}).length);

// Holes read undefined and hide the prototype; absent elements do not.
Array.prototype[2] = "from prototype";
var h = [0]; h[4] = 4;
print("absent:", h[2], 2 in h);
h[2] = undefined;
print("undefined element:", h[2], 2 in h);
delete h[2];
print("deleted:", h[2], h.length);
delete Array.prototype[2];
function holes(x, y) { delete arguments[0]; return [arguments[0], x, 0 in arguments, arguments.length]; }
print("argument hole:", holes(1, 2));

// Computed properties.
function named(one, two) { return [named.arguments.length, typeof arguments.callee, arguments.caller]; }
function caller() { return named(1); }
print("invocation:", caller(), named.arguments, named.caller);
print("arity:", named.length, named.arity, Math.pow.length, Math.max.arity, [].push.length);
var bound = named.bind(null);
print("bound:", bound.length, typeof bound.prototype, typeof named.prototype, named.prototype.constructor === named);
print("callee text:", (function () { return arguments.callee; })());
