#include <dlfcn.h>

#include "SharedLibrary.h"

namespace twds {

namespace {

std::string LastDlError() {
    const char* text = dlerror();
    return text != nullptr ? text : "no reason given by the system";
}

}  // namespace

SharedLibrary::~SharedLibrary() {
    dlclose(handle_);
}

std::unique_ptr<SharedLibrary> SharedLibrary::open(const std::filesystem::path& file,
                                                   std::string& error) {
    dlerror();
    void* handle = dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) {
        error = LastDlError();
        return nullptr;
    }
    return std::unique_ptr<SharedLibrary>(new SharedLibrary(handle));
}

void* SharedLibrary::symbol(const char* name, std::string& error) const {
    dlerror();
    void* address = dlsym(handle_, name);
    if (address == nullptr) {
        error = LastDlError();
    }
    return address;
}

}  // namespace twds
