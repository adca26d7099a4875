switch (3) { case 1: print("one"); ); case 3: print("three"); }
print("after");
