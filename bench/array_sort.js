// Sorting: numbers with and without a comparator, strings, and mixed values.
var seed = 42;
function rnd(n) { seed = (seed * 1103515245 + 12345) % 2147483648; return Math.floor(seed / 65536) % n; }
var nums = [], strs = [], mixed = [];
for (var i = 0; i < 30000; i++) {
  nums.push(rnd(1000000));
  strs.push("k" + rnd(100000));
  mixed.push(i % 3 == 0 ? rnd(1000) : (i % 3 == 1 ? "s" + rnd(1000) : undefined));
}
var byValue = nums.slice(0).sort(function (x, y) { return x - y; });
nums.sort();
strs.sort();
mixed.sort();
var h = 0;
for (var i = 0; i < 30000; i += 101) h = (h * 31 + byValue[i] + nums[i] + strs[i].length) % 1000003;
print("array_sort: checksum=" + h + " " + mixed[0] + " " + strs[0]);
