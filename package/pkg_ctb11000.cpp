// Package unit of libctb11000.so. Loading and unloading need nothing of the
// module's own: the units' globals start with their created-flags cleared.
#include "package/pkg_ctb11000.h"

#include "entry/frmlancamentos.h"

extern "C" __attribute__((visibility("default"))) void IniProc() {
    // Whatever fails while the screen opens reaches the host unchanged.
    CriaLancamentos();
}
