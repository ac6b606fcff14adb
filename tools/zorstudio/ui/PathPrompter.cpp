#include "tools/zorstudio/ui/PathPrompter.h"

#include <cstdlib>
#include <utility>

#include "tools/zorstudio/Translation.h"
#include "tools/zorstudio/ui/PathPromptDialog.h"
#include "zorkit/platform/core/Gbk.h"

namespace zorstudio {
namespace {

std::filesystem::path TypedPath(const std::string& utf8)
{
    const char* home = std::getenv("HOME");
    if (utf8.rfind("~/", 0) == 0 && home && home[0])
        return std::filesystem::path(home) / utf8.substr(2);
    return utf8;
}

}

bool CPathPrompter::Ask(const std::string& purpose, const std::filesystem::path& initial,
                        std::function<bool(const std::filesystem::path&)> accept)
{
    Close();
    m_prompt = new CPathPromptDialog(
        &m_owner, zorkit::GbkFromUtf8(purpose), zorkit::GbkFromUtf8(initial.string()),
        [this, accept](const std::string& typed) {
            const std::string utf8 = zorkit::Utf8FromGbk(typed);
            if (utf8.empty()) {
                m_requests.Failed(Tr("type a path, or Escape"));
                return;
            }
            // A path that did not serve leaves the prompt open for another try.
            if (accept(TypedPath(utf8)))
                Close();
            else
                Retry();
        },
        [this] {
            Close();
            m_requests.Tell(Tr("cancelled"));
        });
    // It goes with the window as well, before the window's own WM_DESTROY.
    m_prompt->onGone = [this] { m_prompt = nullptr; };
    if (!m_prompt->Create(&m_owner)) {
        m_prompt = nullptr;
        return m_requests.Failed(Tr("cannot show the path prompt"));
    }
    m_prompt->ShowWindow(SW_SHOW);
    return true;
}

void CPathPrompter::Close()
{
    if (m_prompt)
        std::exchange(m_prompt, nullptr)->DestroyWindow();
}

void CPathPrompter::Retry()
{
    if (m_prompt)
        m_prompt->SelectPath();
}

}
