// Replaces the C++ run time's verbose terminate handler. That handler prints the uncaught
// exception's demangled type name to standard error, which a GUI program does not have, and
// its demangler alone is about 46 KB of the program file. Ending at once does the same for
// the user.
#include <cstdlib>

namespace __gnu_cxx {
void __verbose_terminate_handler() { std::abort(); }
}  // namespace __gnu_cxx
