#include "cli/Modules.h"

#include <string>
#include <unistd.h>

namespace {

std::string ProgramFolder() {
    std::string path(4096, '\0');
    const ssize_t n = ::readlink("/proc/self/exe", path.data(), path.size());
    if (n <= 0 || std::size_t(n) >= path.size()) return ".";
    path.resize(std::size_t(n));
    return path.substr(0, path.rfind('/'));
}

} // namespace

void* LoadModule(const char* name, const char* builtPath) {
    const std::string folder = ProgramFolder();
    for (const std::string& path :
         {folder + "/" + name, folder + "/" BARCODEGEN_MODULES_FROM_BIN "/" + name,
          std::string(builtPath)})
        if (void* handle = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL)) return handle;
    return nullptr;
}
