/* strx_forms.c - built twice into a DLL that is not shipped (the top
 * CMakeLists.txt): by GCC with the stack protector and by clang without it.
 * Clang's DWARF 5 gives its unit's name, folder and producer as strx forms,
 * indexes into .debug_str_offsets: the binary check must read them, take
 * that unit for ours and fail on it (cmake/check_pe_rules_test.py). */
#ifdef __clang__
int ClangUnit(int count) { return count + 1; }
#else
int GccUnit(int count) { return count + 2; }
#endif
