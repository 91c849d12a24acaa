// Compiled against one library's include root by the layering check: the
// header named by QV_PROBE_HEADER must be found only when it is below.
#include QV_PROBE_HEADER
