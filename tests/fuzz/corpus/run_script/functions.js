// The Function constructor and the methods of Function.prototype.
var add = new Function("a", "b", "return a+b");
print(add);
print(add(2, 3), add.length, typeof add);
print(Function());
print(Function("return 42"), Function("return 42")());
print(Function(5));
var many = Function("x", "y1", "_z", "$w", "return x + y1 + _z + $w");
print(many, many(1, 2, 3, 4));
print(Function("a", "return arguments.callee")());
print("global scope:", Function("return typeof add")(), typeof anonymous);
function scoped() { var hidden = 1; return Function("return typeof hidden")(); }
print("not a closure:", scoped());
function badParam(p) {
    try {
        Function(p, "return 1");
        print("accepted", "[" + p + "]");
    } catch (e) {
        print("refused", "[" + p + "]", e.message);
    }
}
badParam("ok_1");
badParam("1a");
badParam("");
badParam("a,b");
badParam("a b");
badParam(" a");
badParam("a-b");
try { Function("a", "}); print('injected'); (function () {"); } catch (e) { print("one function only:", e.name); }

// Texts of functions
function named(p, q) { return p; }
print(named.toString());
print(named.toSource() === named.toString(), named.valueOf() === named.toString());
print(Math.sin.toString() === "\nfunction sin() {\n\t[native code]\n}\n", String(Math.sin) === Math.sin.toString());
print("[" + Function.prototype.toString.call(parseInt) + "]");
print("[" + Function.prototype + "]");
print("[" + Function.prototype.call + "]");
try { Function.prototype.toString.call({}); } catch (e) { print("toString on {}:", e.message); }

// call and apply
var calls = 0;
function who(a, b) { calls++; return this.tag + ":" + a + ":" + b + ":" + arguments.length; }
var o = {tag: "O"};
print(who.call(o), who.call(o, 1), who.call(o, 1, 2, 3));
var holes = [];
holes[0] = 1;
holes[2] = 3;
print(who.apply(o), who.apply(o, [7, 8]), who.apply(o, []), who.apply(o, holes));
function passOn() { return who.apply(o, arguments); }
print(passOn("x", "y", "z"));
calls = 0;
print(who.apply(o, "xy"), who.apply(o, 5), who.apply(o, {length: 2, 0: "a"}), who.apply(o, null));
print("apply with other second arguments calls nothing:", calls);
function kind() { return typeof this + " " + Object.prototype.toString.call(this); }
print(kind.call(5), kind.call("s"), kind.call(true), kind.call(null));
try { who.call(); } catch (e) { print("call():", e.message); }
try { who.apply(); } catch (e) { print("apply():", e.message); }
try { Function.prototype.call.call({}, o); } catch (e) { print("call on {}:", e.message); }
print("natives through call:", isNaN.call(null, "x"), parseInt.apply(null, ["ff", 16]));

// bind
var bound = who.bind(o, "ignored");
print(bound(), bound(5, 6), bound.length, typeof bound, Object.prototype.toString.call(bound));
try { who.bind(); } catch (e) { print("bind():", e.message); }
var bs = kind.bind("s");
print(bs());
var rebound = bound.bind({tag: "other"});
print(rebound(1, 2));
