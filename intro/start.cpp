// The intro library's entry points: the load-time attach routine and the one export.
#include "intro/export.h"

#include "data/archive.h"
#include "intro/intro.h"

#include <dlfcn.h>

namespace {

// Runs when the library is loaded, after the data file was opened (its initializer has the
// higher priority): stores the library's own handle, by which it finds its embedded tune.
__attribute__((constructor(1001))) void attachIntroLibrary() {
    Dl_info info{};
    if (dladdr(reinterpret_cast<void*>(&attachIntroLibrary), &info) != 0)
        intro::moduleHandle = info.dli_fbase;
}

} // namespace

int StartVrkIntro(void* /*ignored*/) {
    intro::introState.services = &intro::productionServices();
    intro::introState.archive = &dataArchive;
    intro::RunIntro(intro::moduleHandle);
    return 1;
}
