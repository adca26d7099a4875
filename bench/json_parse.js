// A JSON-like text parser written in ES3: builds a large text of nested
// objects, arrays, numbers, strings and literals, then parses it back with
// a recursive-descent reader (characters, string slices, number scanning,
// object and array building) and walks the result. Unlike the reference set
// it is dominated by charAt/charCodeAt scanning and small-object creation.
if (typeof print == "undefined") { print = function (s) { console.log(s); }; }

function makeValue(seed, depth) {
  var k = seed % 7;
  if (depth > 3 || k == 0) return String((seed * 7919) % 100003 / 8);
  if (k == 1) return "\"s" + (seed % 1000) + "\\\"q\\\\\"";
  if (k == 2) return seed % 2 ? "true" : "null";
  if (k < 5) {
    var items = [];
    for (var i = 0; i < 4; i++) items.push(makeValue(seed * 31 + i, depth + 1));
    return "[" + items.join(", ") + "]";
  }
  var parts = [];
  for (var j = 0; j < 4; j++) parts.push("\"k" + j + "\": " + makeValue(seed * 17 + j, depth + 1));
  return "{" + parts.join(",\n ") + "}";
}

function Parser(text) { this.text = text; this.pos = 0; }
Parser.prototype.space = function () {
  var t = this.text, p = this.pos, c;
  while (p < t.length && ((c = t.charCodeAt(p)) == 32 || c == 10 || c == 13 || c == 9)) p++;
  this.pos = p;
};
Parser.prototype.value = function () {
  this.space();
  var c = this.text.charAt(this.pos);
  if (c == "{") return this.object();
  if (c == "[") return this.array();
  if (c == "\"") return this.string();
  if (c == "t") { this.pos += 4; return true; }
  if (c == "f") { this.pos += 5; return false; }
  if (c == "n") { this.pos += 4; return null; }
  return this.number();
};
Parser.prototype.object = function () {
  var o = {};
  this.pos++;
  this.space();
  if (this.text.charAt(this.pos) == "}") { this.pos++; return o; }
  for (;;) {
    this.space();
    var key = this.string();
    this.space();
    this.pos++;  // the colon
    o[key] = this.value();
    this.space();
    var c = this.text.charAt(this.pos++);
    if (c == "}") return o;
  }
};
Parser.prototype.array = function () {
  var a = [];
  this.pos++;
  this.space();
  if (this.text.charAt(this.pos) == "]") { this.pos++; return a; }
  for (;;) {
    a[a.length] = this.value();
    this.space();
    var c = this.text.charAt(this.pos++);
    if (c == "]") return a;
  }
};
Parser.prototype.string = function () {
  var t = this.text, p = this.pos + 1, out = "", start = p;
  for (;;) {
    var c = t.charAt(p);
    if (c == "\"") break;
    if (c == "\\") {
      out += t.substring(start, p) + t.charAt(p + 1);
      p += 2;
      start = p;
      continue;
    }
    p++;
  }
  this.pos = p + 1;
  return out + t.substring(start, p);
};
Parser.prototype.number = function () {
  var t = this.text, p = this.pos, start = p, c;
  while (p < t.length && (((c = t.charCodeAt(p)) >= 48 && c <= 57) || c == 46 || c == 45 || c == 101 || c == 43)) p++;
  this.pos = p;
  return parseFloat(t.substring(start, p));
};

function walk(v, depth) {
  if (v === null) return 1;
  if (typeof v == "number") return Math.floor(v * 3) | 0;
  if (typeof v == "string") return v.length;
  if (typeof v == "boolean") return v ? 2 : 3;
  var h = depth;
  if (v instanceof Array) {
    for (var i = 0; i < v.length; i++) h = (h * 31 + walk(v[i], depth + 1)) | 0;
    return h;
  }
  for (var k in v) h = (h * 17 + k.length + walk(v[k], depth + 1)) | 0;
  return h;
}

var parts = [];
for (var n = 0; n < 400; n++) parts.push(makeValue(n * 13 + 5, 0));
var text = "[" + parts.join(",\n") + "]";
var check = 0;
for (var r = 0; r < 6; r++) {
  var doc = new Parser(text).value();
  check = (check * 7 + walk(doc, 0) + doc.length) | 0;
}
print("json_parse: " + text.length + " chars, checksum=" + check);
