// A front-end module as a build of another toolkit version would have left it beside the
// program: the entry points are there, the interface stamp is not this build's.
#include <map>

namespace Modules {
struct Offers;
}

extern "C" const char* platformModuleInterface() {
    return "0.0-0000000000000000";
}

extern "C" void platformModuleOffer(Modules::Offers&) {
    // Never called: the loader must refuse the module first.
    __builtin_trap();
}
