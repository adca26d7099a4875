// Reference cycles of every kind, left for the collector when the space
// goes (the shell reports any memory left over), and a long list freed as
// soon as its head is dropped.
function Point(x) { this.x = x; }
Point.prototype.constructor = Point;           // prototype object -> function
var p = new Point(1);
Point.prototype.last = p;                      // instance -> prototype -> instance
var self = {}; self.self = self;               // property value
var arr = [1, 2]; arr[2] = arr;                // element value
var far = []; far[4000000000] = far;           // sparse element value
function target() { return this; }
target.bound = target.bind(null);              // bound target
var holder = {}; holder.f = target.bind(holder);  // bound this
function counter() {                           // closure and its activation
    var n = 0;
    var next = function () { n++; return next; };
    return next;
}
var c = counter(); c()()();
function keepArgs(o) { o.args = arguments; return o; }   // arguments object
var kept = keepArgs({tag: "kept"});
print("cycles:", p.x, self.self === self, arr[2][2] === arr, far[4000000000] === far,
      typeof target.bound, holder.f() === holder, typeof c(), kept.args[0].tag);
// The prototype object made for a function names it as its constructor:
// made by new, by a read, for closures, and for functions reachable only
// through an instance.
function Made(v) { this.v = v; }
var made = new Made(1);
function Read() {}
var readProto = Read.prototype;
var instances = [];
for (var i = 0; i < 100; i++) instances.push(new (function (n) { this.n = n; })(i));
var orphan = (function () { function Local() {} return new Local(); })();
print("constructors:", made.constructor === Made, readProto.constructor === Read,
      instances[99].constructor !== instances[98].constructor, instances[7].n, typeof orphan.constructor);

var head = null;
for (var i = 0; i < 1000000; i++) head = {next: head, i: i};
var length = 0;
for (var q = head; q; q = q.next) length++;
head = q = null;
print("list of", length, "freed");
