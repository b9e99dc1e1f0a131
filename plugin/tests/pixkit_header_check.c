/* pixkit.h on its own, as C99 here and as C++ in pixkit_header_check.cpp:
 * it needs no other header, and each export converts to the pointer type
 * pixkit.h gives for it (under -Werror a mismatch fails the build). */
/* A host may define PIXKIT_EXPORT itself, before the header: pixkit.h keeps
 * the host's definition (a second one would be an error here). */
#define PIXKIT_EXPORT extern
/* Not PIXKIT_CALL: the test pixkit_header_own_call compiles this file with
 * PIXKIT_HOST_CALL and expects pixkit.h to stop the build. */
#ifdef PIXKIT_HOST_CALL
#define PIXKIT_CALL
#endif
#include "pixkit.h"

PixkitFilterFn pixkit_check_shade = Shade;
PixkitFilterFn pixkit_check_sharp = Sharp;
PixkitAdjustToneFn pixkit_check_adjust_tone = AdjustTone;
PixkitGammaEffectFn pixkit_check_gamma_effect = GammaEffect;
