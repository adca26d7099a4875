for (var i = 0; i < 2; i++) {
  {
    print(i);
    x);
  }
}
print("end");
