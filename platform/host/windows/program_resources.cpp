// A program's resource registration (CMake target vtprogram_resources,
// added by vt_add_resources to a program): registers the program's resource
// table under the program's handle, which a NULL module stands for, when
// the program starts.
#include <dlfcn.h>

#include "platform/host/windows/module_resources.h"

extern "C" __attribute__((weak, visibility("hidden")))
const vtsim::internal::ResourceTable vt_module_resource_table;

namespace {

const char programAddress = 0;  // an address inside the program

class ProgramResources {
public:
    ProgramResources()
    {
        Dl_info info{};
        if (&vt_module_resource_table != nullptr && dladdr(&programAddress, &info) != 0) {
            module_ = static_cast<HINSTANCE>(info.dli_fbase);
            vtsim::internal::RegisterModuleResources(module_, &vt_module_resource_table);
        }
    }
    ~ProgramResources()
    {
        if (module_ != nullptr) {
            vtsim::internal::UnregisterModuleResources(module_);
        }
    }
    ProgramResources(const ProgramResources&) = delete;
    ProgramResources& operator=(const ProgramResources&) = delete;

private:
    HINSTANCE module_ = nullptr;
};

const ProgramResources registration;

}  // namespace
