// args: -c 3
// substring keeps its arguments' order under compatibility level 3.
print("[" + "hello".substring(4, 1) + "]", "hello".substring(1, 4), "hello".substring(3), "hello".substring(2, 2) === "");
print("[" + "hello".substring(-1, -5) + "]", "hello".substring(-3, 2), "hello".substring(9, 1) === "");
print("hello".slice(3, 1) === "", "hello".substr(3, 1), "abc".indexOf("c"));
