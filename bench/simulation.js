// An object-heavy simulation: bodies with position and velocity objects,
// springs between them, a grid of cells holding lists of bodies, methods
// on prototypes and short-lived vector objects made every step. Unlike the
// reference set it is dominated by small-object allocation, prototype
// method calls and arrays of objects.
if (typeof print == "undefined") { print = function (s) { console.log(s); }; }

function Vec(x, y) { this.x = x; this.y = y; }
Vec.prototype.add = function (o) { return new Vec(this.x + o.x, this.y + o.y); };
Vec.prototype.scale = function (k) { return new Vec(this.x * k, this.y * k); };
Vec.prototype.sub = function (o) { return new Vec(this.x - o.x, this.y - o.y); };
Vec.prototype.len2 = function () { return this.x * this.x + this.y * this.y; };

function Body(id, x, y) {
  this.id = id;
  this.pos = new Vec(x, y);
  this.vel = new Vec(0, 0);
  this.mass = 1 + id % 3;
}
Body.prototype.push = function (f, dt) { this.vel = this.vel.add(f.scale(dt / this.mass)); };
Body.prototype.move = function (dt) {
  this.pos = this.pos.add(this.vel.scale(dt));
  if (this.pos.x < 0 || this.pos.x > 100) this.vel = new Vec(-this.vel.x, this.vel.y);
  if (this.pos.y < 0 || this.pos.y > 100) this.vel = new Vec(this.vel.x, -this.vel.y);
};

function Spring(a, b, rest) { this.a = a; this.b = b; this.rest = rest; }
Spring.prototype.apply = function (dt) {
  var d = this.b.pos.sub(this.a.pos);
  var k = (d.len2() - this.rest * this.rest) * 0.0005;
  this.a.push(d.scale(k), dt);
  this.b.push(d.scale(-k), dt);
};

function Grid(size) { this.size = size; this.cells = []; }
Grid.prototype.clear = function () { this.cells = []; };
Grid.prototype.insert = function (body) {
  var cx = Math.floor(body.pos.x / 10), cy = Math.floor(body.pos.y / 10);
  var key = cx * 100 + cy;
  var cell = this.cells[key];
  if (!cell) { cell = []; this.cells[key] = cell; }
  cell.push(body);
};
Grid.prototype.crowded = function () {
  var n = 0;
  for (var k in this.cells) if (this.cells[k].length > 2) n++;
  return n;
};

var bodies = [], springs = [];
for (var i = 0; i < 300; i++) bodies.push(new Body(i, (i * 37) % 100, (i * 53) % 100));
for (var j = 0; j < 300; j++) springs.push(new Spring(bodies[j], bodies[(j * 7 + 1) % 300], 5 + j % 10));
var grid = new Grid(10), crowd = 0;
for (var step = 0; step < 500; step++) {
  for (var s = 0; s < springs.length; s++) springs[s].apply(0.1);
  for (var b = 0; b < bodies.length; b++) bodies[b].move(0.1);
  grid.clear();
  for (b = 0; b < bodies.length; b++) grid.insert(bodies[b]);
  crowd += grid.crowded();
}
var h = 0;
for (b = 0; b < bodies.length; b++) h = (h * 31 + Math.floor(bodies[b].pos.x * 10) + Math.floor(bodies[b].pos.y)) | 0;
print("simulation: crowded=" + crowd + " checksum=" + h);
