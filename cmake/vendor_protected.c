/* vendor_protected.c - stands for an object file built outside this tree (a
 * vendor's library), with the stack protector, in the program that
 * cmake/unhardened.c makes. Its DWARF names the folders it was compiled in,
 * outside the tree (its prefix map in the top CMakeLists.txt), so its stack
 * cookies are not ours, though its file name is one of the tree. Not shipped. */
int VendorSum(int count) {
    /* A local array: -fstack-protector-strong gives the function a cookie. */
    volatile int values[8];
    int sum = 0;
    for (int i = 0; i < 8; ++i) values[i] = count + i;
    for (int i = 0; i < 8; ++i) sum += values[i];
    return sum;
}
