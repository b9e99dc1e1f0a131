/* strx_forms.c - in a DLL that is not shipped, built by GCC with the stack
 * protector and by clang without it, whose DWARF 5 gives the unit's strings
 * as strx forms: the binary check must take that unit for ours and fail. */
#ifdef __clang__
int ClangUnit(int count) { return count + 1; }
#else
int GccUnit(int count) { return count + 2; }
#endif
