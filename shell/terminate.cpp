// The shell throws nothing and catches nothing; should the C++ runtime ever
// end it (an allocation of its strings failing), it aborts at once. Giving
// the runtime this handler keeps its verbose one, and the name demangler
// that comes with it, out of the shell.
#include <cstdlib>

namespace __gnu_cxx {
void __verbose_terminate_handler() { std::abort(); }
}  // namespace __gnu_cxx
