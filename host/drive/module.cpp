#include "host/drive/module.h"

#include "host/drive/process.h"

#include <cstdlib>
#include <dlfcn.h>

namespace drive {

bool Module::Load(const std::string& path, std::string& error) {
    handle_ = dlopen(path.c_str(), RTLD_NOW | RTLD_GLOBAL);
    if (!handle_) {
        const char* why = dlerror();
        error = "cannot load the module " + path + ": " + (why ? why : "unknown error");
        return false;
    }
    void* sym = dlsym(handle_, "IniProc");
    if (!sym) {
        error = "the module " + path + " does not export IniProc";
        return false;
    }
    iniProc_ = reinterpret_cast<void (*)()>(sym);
    return true;
}

void Module::IniProc() const { iniProc_(); }

// The module stays loaded until the process ends: its forms may still be
// owned by the application object, whose destruction runs module code.
Module::~Module() = default;

std::string DefaultModulePath() {
    if (const char* env = std::getenv("CTB_MODULE"); env && *env) return env;
    return ExecutableDir() + "/libctb11000.so";
}

}  // namespace drive
