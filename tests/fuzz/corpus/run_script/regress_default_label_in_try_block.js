var ne = 1; try { ne ; default: ; } catch (e) { print(e) }
print("after")
