// Error and its six subclasses; Error.prototype.toString.
var names = ["Error", "EvalError", "RangeError", "ReferenceError", "SyntaxError", "TypeError", "URIError"];
var ctors = [Error, EvalError, RangeError, ReferenceError, SyntaxError, TypeError, URIError];
for (var i = 0; i < ctors.length; i++) {
    var made = new ctors[i]("m" + i);
    var called = ctors[i]("c" + i);
    print(names[i], made.name, made.message, "" + made, called.name, called.message,
          made instanceof ctors[i], Object.prototype.toString.call(called), typeof made);
}
print("prototype names:", RangeError.prototype.name, Error.prototype.name, URIError.prototype.name,
      RangeError.prototype instanceof Error, RangeError.prototype.toString === Error.prototype.toString);
var bare = new Error();
print("no message:", bare.message, "message" in bare, "" + bare, bare.toString());
print("messages are strings:", new Error(5).message + 1, typeof new Error(null).message,
      new TypeError(undefined).message, new Error({toString: function () { return "obj"; }}).message);
var ets = Error.prototype.toString;
print("toString:", ets.call({name: "N", message: "M"}), ets.call({name: "N"}), ets.call({message: "M"}),
      ets.call({name: 1, message: 2}), ets.call({}), ets.call({name: 1, message: "only"}),
      ets.call(5), ets.call("s"));
var custom = new RangeError("x");
custom.name = "Mine";
print("own name:", "" + custom);
print("String of an error:", String(new RangeError("x")), "" + new RangeError("y"), new SyntaxError("bad") + "!");

// Errors raised by the interpreter become objects of the error's class.
try { null(); } catch (e) { print(e.name, e instanceof TypeError, e.message); }
try { decodeURI("%"); } catch (e) { print(e.name, e instanceof URIError, e.message); }
try { (1).toFixed(101); } catch (e) { print(e.name, e.message); }
try { throw new EvalError("thrown"); } catch (e) { print(e.name, e.message, e instanceof EvalError); }
function inside() { return (1).toString(37); }
try { inside(); } catch (e) { print(e.message); }
