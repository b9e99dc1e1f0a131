/* unhardened.c - a Windows program linked against every rule of Windows'
 * hardening baseline that the binary check holds (see the top
 * CMakeLists.txt): the check must fail on it and name each rule, the stack
 * cookies too, though an object file linked in has some. Not shipped.
 *
 * Its code sits in a section that is writable as well as executable; the
 * assembler takes the section's flags as written. */
__asm__(".section .wx,\"wx\"\n"
        ".globl _WritableCode\n"
        "_WritableCode:\n"
        "  movl $42, %eax\n"
        "  ret\n"
        ".text\n");
int WritableCode(void);
int VendorSum(int count);  /* cmake/vendor_protected.c: protected, not ours */

int main(void) {
    /* A local array whose address escapes would get a stack cookie, were the
     * file compiled with the stack protector. */
    volatile char buffer[16];
    buffer[0] = (char)WritableCode();
    return buffer[0] == 42 && VendorSum(1) == 36 ? 0 : 1;
}
