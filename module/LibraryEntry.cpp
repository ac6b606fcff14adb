// The library entry: when libzorkit is loaded it puts its resources and the
// classes hosts may create by name into the process's search chain, and takes
// them out again when it is unloaded. Nothing else happens at start-up.
#include "module/LibraryResources.h"

namespace {

struct LibraryEntry {
    LibraryEntry() { zorkit::RegisterLibraryResources(); }
    ~LibraryEntry() { zorkit::UnregisterLibraryResources(); }
};

const LibraryEntry g_entry;

}
