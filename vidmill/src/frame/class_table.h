// The library's seven component classes: ids, names, help strings, and how each is made.
#pragma once

#include <array>

#include "frame/object_base.h"

namespace vidmill {

struct ClassEntry {
    CLSID clsid;
    IID primaryIid;
    const char* className;   // "AviWriter"; the ProgID is "Vidmill." + className
    const char* helpString;  // the class's help string in the type library
    bool creatable;          // callers may create it; the others are handed out by their owners
    // Makes a new object with one reference, as its IDispatch; null for the classes callers
    // cannot create.
    IDispatch* (*create)(Counting counting);
};

// In the order the factories are created when the library loads.
const std::array<ClassEntry, 7>& Classes();
const ClassEntry* FindClass(REFCLSID clsid);

}  // namespace vidmill
