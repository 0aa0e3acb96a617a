// zanvc-info: prints the library's version record, the instruction set its
// entry cells were filled for, and how many exports it offers.
#include <dlfcn.h>

#include <cstdio>

#include "core/cpu.h"
#include "zan_export_names.h"
#include "zanvc.h"

int main() {
    const ZanVersionInfo* v = zanvcGetLibVersion();
    std::printf("name:         %s\n", v->name);
    std::printf("version:      %s (%d.%d.%d, revision %d)\n", v->version, v->major, v->minor, v->update,
                v->revision);
    std::printf("cpu tag:      %.4s\n", v->cpuTag);
    std::printf("build date:   %s\n", v->buildDate);
    std::printf("dispatch:     %s\n", zan::cpu_dispatch_name());
    int resolved = 0;
    const int listed = int(sizeof kZanExportNames / sizeof kZanExportNames[0]);
    for (const char* name : kZanExportNames) resolved += dlsym(RTLD_DEFAULT, name) != nullptr;
    std::printf("exports:      %d (%d resolved in the loaded library)\n", listed, resolved);
    return resolved == listed ? 0 : 1;
}
