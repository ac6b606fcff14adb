// The library entry: when libzorkit is loaded it puts its resources and the
// classes hosts may create by name into the process's search chain, and takes
// them out again when it is unloaded. Nothing else happens at start-up.
#include "zorkit/module/DialogTemplates.h"
#include "zorkit/module/LibraryClasses.h"
#include "zorkit/module/LibraryImages.h"
#include "zorkit/module/LibraryResources.h"

namespace {

struct LibraryEntry {
    LibraryEntry()
    {
        zorkit::RegisterLibraryResources();
        zorkit::RegisterLibraryImages();
        zorkit::RegisterDialogTemplates();
        zorkit::RegisterLibraryClasses();
    }
    ~LibraryEntry()
    {
        zorkit::UnregisterLibraryClasses();
        zorkit::UnregisterDialogTemplates();
        zorkit::UnregisterLibraryImages();
        zorkit::UnregisterLibraryResources();
    }
};

const LibraryEntry g_entry;

}
