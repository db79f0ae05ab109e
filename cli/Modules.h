// The modules the generator loads only when a run needs them (--verify's
// reading and rendering): their libraries would otherwise load at every start.
#pragma once

// The module file name ("barcodegen-verify.so"), loaded and kept for the rest
// of the run, from beside the program (a build), from where an installation
// puts it relative to bin/, or from builtPath, where this build made it (for
// the tests' programs). nullptr when it is nowhere.
void* LoadModule(const char* name, const char* builtPath);

// The function symbol of a module handle, as type T; nullptr without one.
template <class T> T ModuleFunction(void* module, const char* symbol);

#include <dlfcn.h>

template <class T> T ModuleFunction(void* module, const char* symbol) {
    return module ? reinterpret_cast<T>(::dlsym(module, symbol)) : nullptr;
}
