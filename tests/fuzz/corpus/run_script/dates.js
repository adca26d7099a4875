// Date objects: construction, fields, getters, setters, texts and the parser.
function fields(d) {
  return d.year + "/" + d.month + "/" + d.date + " " + d.hours + ":" + d.minutes + ":" + d.seconds + "." + d.ms;
}
var epoch = new Date(1970, 0, 1);
print(epoch.getTime(), epoch, epoch.getDay(), epoch.getTimezoneOffset());
print(fields(new Date(2000, 1, 29)), fields(new Date(1900, 1, 29)), new Date(1978, 0, 1).getDay());
print(fields(new Date(-1)), new Date(-1).toUTCString());
var d = new Date(2005, 5, 15, 10, 20, 30, 400);
print(d.getFullYear(), d.getMonth(), d.getDate(), d.getHours(), d.getMinutes(), d.getSeconds(), d.getMilliseconds(), d.getDay());
print(d.getUTCFullYear(), d.getUTCMonth(), d.getUTCDate(), d.getUTCHours(), d.getUTCMinutes(), d.getUTCSeconds(), d.getUTCMilliseconds(), d.getUTCDay());
print(d.getTime(), d.valueOf(), d.toNumber(), d.getYear(), d - 0, d + "");
print(d.toString());
print(d.toDateString(), "|", d.toTimeString());
print(d.toLocaleString(), "|", d.toLocaleDateString(), "|", d.toLocaleTimeString());
print(d.toGMTString(), "|", d.toUTCString());
print(Object.prototype.toString.call(d), typeof d, d.constructor === Date, typeof Date());

// Setters.
print(d.setMonth(1, 30), fields(d));
print(d.setHours(-1), fields(d));
print(d.setUTCMinutes(90, 5), fields(d));
print(typeof d.setDate(1, 2), fields(d));
print(d.setSeconds(NaN), d, fields(d));
print(d.setDate(3), d.setTime(86400000), fields(d));
print(d.setYear(99), d.getYear(), d.setYear(2010), d.getYear(), d.setYear(NaN), d);
try { d.setDate(); } catch (e) { print(e.name, e.message); }

// Broken fields.
var b = new Date(2000, 0, 1);
b.year = "2000";
try { b.getTime(); } catch (e) { print(e.message); }
print(b.getMonth());
delete b.year;
try { b.getYear(); } catch (e) { print(e.message); }

// Invalid dates.
var x = new Date(NaN);
print(x, x.toDateString(), x.toTimeString(), x.toLocaleString(), x.toLocaleDateString(), x.toLocaleTimeString(), x.toUTCString(), x.toGMTString());
print(x.getTime(), x.getDay(), x.getMonth(), x.getUTCHours(), x.getTimezoneOffset(), x.getYear());

// Date.UTC and the parser.
print(Date.UTC(), Date.UTC(2000), Date.UTC(99, 11, 31, 23, 59, 59, 999), Date.UTC(2000, NaN), typeof Date.UTC(1, 2, 3, 4, 5, 6, 7, 8));
print(Date.parse("Nov 5 2022"), Date.parse("11/05/2022 10:30"), Date.parse("Saturday, 5 November 2022 1:30 pm EST"));
print(Date.parse("Nov 5 2022 12:00 am"), Date.parse("Nov 5 2022 12:00 pm"), Date.parse("Nov 5 2022 1 pm"), Date.parse("5 Nov 22"));
print(Date.parse("ma 5 2022"), Date.parse("Nov 5 2022 (a comment (nested))"), Date.parse("2022"));
print(new Date("Sat, 05 Nov 2022 12:00:00 GMT+0100"), new Date("no date"));
var r = new Date(1969, 6, 20, 20, 17, 40);
print(new Date(r.toString()).getTime() == r.getTime(), Date.parse(r.toUTCString()) == r.getTime());
try { Date.parse(); } catch (e) { print(e.message); }
