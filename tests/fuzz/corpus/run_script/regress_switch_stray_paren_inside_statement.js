for (var i = 0; i < 1; i++) { switch (i) { f(1)); } }
print("after")
