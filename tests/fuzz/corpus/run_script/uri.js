// escape, unescape and the URI functions on 8-bit strings.
print("escape:", escape("a b~"), escape("@*_+-./"), escape("AZaz09"), escape("%!#$&'()=?"),
      escape("\xe9\xff\x01\x7f"), escape(""), escape(12.5), escape(null));
print("unescape:", unescape("%4a%zz"), unescape("%41%62%2"), unescape("%%41"), unescape("100%"),
      unescape("%e9") == "\xe9", unescape("%u0041"), unescape(""));
print("round trip:", unescape(escape("x\x80y\xffz ~@")) == "x\x80y\xffz ~@");
print("encodeURI:", encodeURI("a b/\xe9"), encodeURI("#$&+,/:;=?@"), encodeURI("\"%<>[\\]^`{|}"),
      encodeURI("-_.!~*'()"), encodeURI("\x7f\x80\xbf\xc0\x1f"));
print("encodeURIComponent:", encodeURIComponent("a/b"), encodeURIComponent("#$&+,/:;=?@"),
      encodeURIComponent("-_.!~*'()"), encodeURIComponent("\xe9"));
print("decodeURI:", decodeURIComponent("%C3%A9") == "\xe9", decodeURI("%E2%82%AC"), decodeURI("%F0%9F%98%80"),
      decodeURI("%2F"), decodeURIComponent("%2f%3A"), decodeURI("a%20b"), decodeURI("plain"),
      decodeURI("%c2%80") == "\x80", decodeURI(""));
print("round trip:", decodeURIComponent(encodeURIComponent("a\xe9\xff b/?")) == "a\xe9\xff b/?");
var bad = ["%80", "%4", "%", "%zz", "%C3", "%C3%", "%C3%41", "%C3A9", "%E2%82", "%F8%80%80%80%80", "%FF", "abc%"];
for (var j = 0; j < bad.length; j++) {
    try {
        decodeURI(bad[j]);
        print("accepted", bad[j]);
    } catch (e) {
        print(bad[j], e.name, e.message);
    }
}
try { decodeURIComponent("%BF"); } catch (e) { print("decodeURIComponent", e.name); }
// Declared with one argument: called with none they are not entered.
try { escape(); } catch (e) { print("escape()", e.message); }
try { decodeURI(); } catch (e) { print("decodeURI()", e.message); }
