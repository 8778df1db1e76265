#include "tools/standin_host/module_loader.h"

#include <stdexcept>

#if defined(_WIN32)
#include <windows.h>
#else
#include <dlfcn.h>
#endif

namespace {

// The registration entry's exported name.
constexpr const char* kPluginDataEntryName = "PluginDataEntryFunction";

#if defined(_WIN32)
void* openLibrary(const std::string& path) { return reinterpret_cast<void*>(LoadLibraryA(path.c_str())); }
void closeLibrary(void* library) { FreeLibrary(reinterpret_cast<HMODULE>(library)); }
void* findSymbol(void* library, const char* name) {
    return reinterpret_cast<void*>(GetProcAddress(reinterpret_cast<HMODULE>(library), name));
}
std::string lastError() { return "error " + std::to_string(GetLastError()); }
#else
void* openLibrary(const std::string& path) { return dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL); }
void closeLibrary(void* library) { dlclose(library); }
void* findSymbol(void* library, const char* name) { return dlsym(library, name); }
std::string lastError() {
    const char* error = dlerror();
    return error != nullptr ? error : "unknown error";
}
#endif

}  // namespace

LoadedModule::LoadedModule(const std::string& path) : library_(openLibrary(path)) {
    if (library_ == nullptr) {
        throw std::runtime_error("cannot load " + path + ": " + lastError());
    }
    pluginDataEntry_ = reinterpret_cast<PluginDataEntryFunctionPtr>(symbol(kPluginDataEntryName));
    effectMain_ = reinterpret_cast<PF_FilterProc>(symbol(AE_ENTRY_POINT));
}

LoadedModule::~LoadedModule() { closeLibrary(library_); }

void* LoadedModule::symbol(const char* name) const {
    void* found = findSymbol(library_, name);
    if (found == nullptr) {
        closeLibrary(library_);
        throw std::runtime_error(std::string("module has no entry point ") + name);
    }
    return found;
}
