for (var i = 0; i < 4; i++) {
  {
    print(i);
    x);
  }
}
print("end");
for (var j = 0; j < 3; j++) {
  var k = j;
  {
    k++;
    y];
  }
  print(k);
}
