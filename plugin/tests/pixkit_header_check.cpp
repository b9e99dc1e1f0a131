// The same check as C++.
#include "pixkit_header_check.c"
