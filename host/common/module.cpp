#include "host/common/module.h"

#include "host/common/process.h"

#include <cstdlib>
#include <dlfcn.h>
#include <unistd.h>

namespace hostcommon {

bool Module::Load(const std::string& path, std::string& error) {
    handle_ = dlopen(path.c_str(), RTLD_NOW | RTLD_GLOBAL);
    if (!handle_) {
        const char* why = dlerror();
        error = "não foi possível carregar o módulo " + path + ": " + (why ? why : "erro desconhecido");
        return false;
    }
    void* sym = dlsym(handle_, "IniProc");
    if (!sym) {
        error = "o módulo " + path + " não exporta IniProc";
        return false;
    }
    iniProc_ = reinterpret_cast<void (*)()>(sym);
    return true;
}

void Module::IniProc() const { iniProc_(); }

// The module stays loaded until the process ends: its forms may still be
// owned by the application object, whose destruction runs module code.
Module::~Module() = default;

// Beside the program in the build tree; in lib/ctb11000 of an installed tree
// (cmake/Install.cmake).
std::string DefaultModulePath() {
    if (const char* env = std::getenv("CTB_MODULE"); env && *env) return env;
    const std::string beside = ExecutableDir() + "/libctb11000.so";
    const std::string installed = ExecutableDir() + "/../lib/ctb11000/libctb11000.so";
    return access(beside.c_str(), F_OK) != 0 && access(installed.c_str(), F_OK) == 0 ? installed : beside;
}

}  // namespace hostcommon
