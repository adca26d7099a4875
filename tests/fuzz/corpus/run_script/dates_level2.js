// args: -c 2
// getYear under an older compatibility level: years from 2000 on in full.
print(new Date(2005, 0, 1).getYear(), new Date(1999, 11, 31).getYear(), new Date(2000, 0, 1).getYear());
print(new Date(1850, 6, 1).getYear(), new Date(NaN).getYear());
var d = new Date(1998, 0, 1);
d.setYear(3);
print(d.getFullYear(), d.getYear());
