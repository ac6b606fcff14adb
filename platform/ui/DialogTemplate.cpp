#include "zorkit/platform/ui/DialogTemplate.h"

#include <map>
#include <memory>
#include <mutex>

namespace {

std::mutex g_lock;

std::map<UINT, std::unique_ptr<zorkit::DialogTemplate>>& Templates()
{
    static std::map<UINT, std::unique_ptr<zorkit::DialogTemplate>> templates;
    return templates;
}

}

namespace zorkit {

void RegisterDialogTemplate(UINT id, DialogTemplate dialogTemplate)
{
    std::lock_guard<std::mutex> hold(g_lock);
    Templates()[id] = std::make_unique<DialogTemplate>(std::move(dialogTemplate));
}

void UnregisterDialogTemplate(UINT id)
{
    std::lock_guard<std::mutex> hold(g_lock);
    Templates().erase(id);
}

const DialogTemplate* FindDialogTemplate(UINT id)
{
    std::lock_guard<std::mutex> hold(g_lock);
    auto it = Templates().find(id);
    return it == Templates().end() ? nullptr : it->second.get();
}

}
