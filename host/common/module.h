// The module as a host sees it: libctb11000.so loaded with dlopen and its one
// export, IniProc, found with dlsym.
#pragma once

#include <string>

namespace hostcommon {

class Module {
public:
    Module() = default;
    ~Module();
    Module(const Module&) = delete;
    Module& operator=(const Module&) = delete;

    // Loads `path` (RTLD_NOW | RTLD_GLOBAL, so module and host share the
    // platform libraries) and finds IniProc; false with `error` set otherwise.
    bool Load(const std::string& path, std::string& error);
    // Calls IniProc; exceptions reach the caller (the dispatcher shows them).
    void IniProc() const;
    bool Loaded() const { return iniProc_ != nullptr; }

private:
    void* handle_ = nullptr;
    void (*iniProc_)() = nullptr;
};

// CTB_MODULE when set, else libctb11000.so in the host's own folder.
std::string DefaultModulePath();

}  // namespace hostcommon
