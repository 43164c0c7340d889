// process_frame_fuzzer with entries of up to millions of characters: the
// caption cut to its first 4,096, laid out, wrapped and drawn on the box
// renderer. Slow (a few runs a second under the sanitizers): run on its
// own by scripts/fuzz.sh, not among the CTest targets.
#define TPP_FUZZ_LONG_ENTRY
#include "fuzz/process_frame_fuzzer.cpp"
