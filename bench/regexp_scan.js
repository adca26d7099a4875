// Regular-expression scans over one long text: test and search for patterns
// that do not occur, global exec loops, match of every word, and a look at
// the statics. Each scan runs in time linear in the text.
var words = ["alpha", "beta", "gamma", "delta", "epsilon", "zeta", "eta", "theta"];
var parts = [];
var x = 7;
for (var i = 0; i < 40000; i++) {
    x = (x * 16807) % 2147483647;
    parts.push(words[x % 8] + (x % 100));
}
var text = parts.join(" ");
var h = text.length;
for (var round = 0; round < 5; round++) {
    h = (h * 31 + (/omega/.test(text) ? 1 : 2)) | 0;
    h = (h * 31 + text.search(/[A-Z]/)) | 0;
    h = (h * 31 + text.search(/zeta9\b/)) | 0;
    var re = /(\w+?)(\d+)/g, m, n = 0, sum = 0;
    while ((m = re.exec(text)) != null) { n++; sum += m[2].length + m.index % 7; }
    h = (h * 31 + n + sum) | 0;
    h = (h * 31 + text.match(/\bth\w*/g).length + RegExp.lastMatch.length) | 0;
    h = (h * 31 + text.match(/a\d/gi).length + RegExp.rightContext.length) | 0;
}
print("regexp_scan: checksum=" + h);
