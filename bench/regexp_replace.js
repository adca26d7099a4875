// replace and split over long texts with many matches: $ templates, a
// replacement function, empty matches and splitting with captures. The
// output is built in time proportional to the input and the output.
var parts = [];
for (var i = 0; i < 30000; i++) parts.push("k" + i + "=v" + (i * 7 % 1000));
var text = parts.join(";");
function hash(s) {
    var h = s.length;
    for (var i = 0; i < s.length; i += 97) h = (h * 31 + s.charCodeAt(i)) | 0;
    return h;
}
var h = 0;
for (var round = 0; round < 3; round++) {
    h = (h * 31 + hash(text.replace(/(\w+)=(\w+)/g, "$2<-$1"))) | 0;
    h = (h * 31 + hash(text.replace(/\d+/g, function (d) { return d.length; }))) | 0;
    h = (h * 31 + hash(text.replace(/;/g, ";\n"))) | 0;
    h = (h * 31 + hash(text.replace(/x*/g, "."))) | 0;
    h = (h * 31 + text.split(/;/).length + text.split(/(=)/).length + text.split(";").length) | 0;
    h = (h * 31 + text.split("").length + text.split(/(?:)/, 1000).length) | 0;
}
print("regexp_replace: checksum=" + h);
