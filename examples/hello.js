// hello.js - a first script for the quillon shell.
function greet(name) { return "Hello, " + name + "!"; }
print(greet("Quillon"));

// Objects, arrays and closures work as in any JavaScript of its era.
var planets = ["Mercury", "Venus", "Earth", "Mars"];
var lengths = [];
for (var i = 0; i < planets.length; i++) lengths[i] = planets[i].length;
print("planets:", planets.join(", "));
print("name lengths:", lengths.join(" "));

function makeCounter() {
  var count = 0;
  return function () { return ++count; };
}
var next = makeCounter();
next(); next();
print("counter says", next());
