switch (3) { case 1: print("one"); break; ); }
print("after");
