#include "tools/zorstudio/ui/LineChooser.h"

#include <utility>

#include "tools/zorstudio/StudioSettings.h"
#include "tools/zorstudio/Translation.h"
#include "tools/zorstudio/ui/ResetPromptDialog.h"
#include "tools/zorstudio/ui/StudioWindow.h"

namespace zorstudio {
namespace {

constexpr int kListWidth = 360;

}

void CLineChooser::ChoosePort()
{
    if (PortListWindow()) {
        m_list->ShowWindow(SW_HIDE);
        return;
    }
    auto list = std::make_unique<CPortList>(PortEntries(m_requests.View().line.baud, LoadLineChoice()));
    list->onChosen = [this](const CLineChoice& choice) { ChooseLine(choice); };
    ShowList(std::move(list), N_("cannot show the list of ports"));
}

bool CLineChooser::ChooseDevicePath()
{
    const CLineChoice& inUse = m_requests.View().line;
    return m_prompter.Ask(Tr("Open the serial device (or rfc2217://HOST:PORT):"), inUse.IsVirtual() ? "/dev/" : inUse.device,
                          [this](const std::filesystem::path& path) {
                              // The prompt stays until the board thread has opened the device.
                              ChooseLine({path.string(), m_requests.View().line.baud});
                              return false;
                          });
}

void CLineChooser::ChooseBaudRate()
{
    if (BaudListWindow()) {
        m_list->ShowWindow(SW_HIDE);
        return;
    }
    auto list = std::make_unique<CBaudList>(m_requests.View().line.baud);
    list->onChosen = [this](int baud) { ChooseLine({m_requests.View().line.device, baud}); };
    ShowList(std::move(list), N_("cannot show the list of baud rates"));
}

void CLineChooser::ShowList(std::unique_ptr<CDropDownList> list, const char* failure)
{
    m_menuBar.Close();
    m_list = std::move(list);
    CRect button;
    m_window.GetDlgItem(CStudioWindow::IdPort)->GetWindowRect(&button);
    m_window.ScreenToClient(&button);
    if (!m_list->Create(&m_window, CPoint(button.left, button.bottom), kListWidth, CStudioWindow::IdLineList)) {
        m_list.reset();
        m_requests.Failed(Tr(failure));
    }
}

CDropDownList* CLineChooser::ListWindow()
{
    return m_list && m_list->m_hWnd && m_list->IsWindowVisible() ? m_list.get() : nullptr;
}

CPortList* CLineChooser::PortListWindow() { return dynamic_cast<CPortList*>(ListWindow()); }

CBaudList* CLineChooser::BaudListWindow() { return dynamic_cast<CBaudList*>(ListWindow()); }

bool CLineChooser::HideList()
{
    CDropDownList* list = ListWindow();
    if (list)
        list->ShowWindow(SW_HIDE);
    return list != nullptr;
}

bool CLineChooser::ChooseLine(const CLineChoice& choice)
{
    if (m_list)
        m_list->ShowWindow(SW_HIDE);
    m_requests.Ask([choice](CDebugSession& s) { return s.Open(choice); }, [this, choice](bool opened, const std::string& error) {
        if (!opened) {
            m_prompter.Retry();
            return void(m_requests.Failed(error));
        }
        m_prompter.Close();
        const bool remembered = SaveLineChoice(choice);
        m_requests.Ask([](CDebugSession& s) { return s.Connect(); }, [this, choice, remembered](bool ok, const std::string& why) {
            LinkChanged();
            if (!ok)
                return void(m_requests.Failed(why));
            const std::string line = choice.IsVirtual() ? Tr("the virtual board")
                                                        : Tr("{1} at {2} baud", {choice.device, std::to_string(choice.baud)});
            m_requests.Tell(remembered ? Tr("connected to {1}", {line})
                                       : Tr("connected to {1}; cannot remember it in {2}", {line, SettingsPath()}));
        });
    });
    return true;
}

bool CLineChooser::Connect()
{
    m_requests.Ask([](CDebugSession& s) { return s.Connect(); }, [this](bool ok, const std::string& error) {
        LinkChanged();
        ok ? m_requests.Tell(Tr("connected")) : void(m_requests.Failed(error));
    });
    return true;
}

bool CLineChooser::AwaitReset()
{
    m_requests.Ask([](CDebugSession& s) { return s.AwaitReset(); }, [this](bool ok, const std::string& error) {
        if (!ok)
            m_requests.Failed(error);
        SyncResetPrompt();
    });
    return true;
}

void CLineChooser::CancelReset()
{
    m_requests.Ask(
        [](CDebugSession& s) {
            s.CancelReset();
            return true;
        },
        [this](bool, const std::string&) {
            SyncResetPrompt();
            m_requests.Tell(Tr("reset cancelled; Connect tests the line again"));
        });
}

void CLineChooser::SyncResetPrompt()
{
    const auto& prompt = m_requests.View().resetPrompt;
    if (prompt && !m_resetPrompt) {
        m_resetPrompt = new CResetPromptDialog(&m_window, [this] { CancelReset(); });
        m_resetPrompt->onGone = [this] { m_resetPrompt = nullptr; };
        if (!m_resetPrompt->Create(&m_window)) {
            m_resetPrompt = nullptr;
            return;
        }
        m_resetPrompt->SetPortText(prompt->gbk);
        m_resetPrompt->ShowWindow(SW_SHOW);
    } else if (!prompt && m_resetPrompt) {
        CloseResetPrompt();
    }
}

void CLineChooser::CloseResetPrompt()
{
    if (m_resetPrompt)
        std::exchange(m_resetPrompt, nullptr)->DestroyWindow();
}

void CLineChooser::LinkChanged()
{
    if (onLinkChanged)
        onLinkChanged();
}

}
