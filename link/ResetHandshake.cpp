#include "zorkit/link/internal/ResetHandshake.h"

namespace zorkit::link {
namespace {
constexpr BYTE kAck = 0xAA;
constexpr BYTE kNak = 0x55;
constexpr char kBanner[] = "TOLVENARK";
constexpr int kBannerLength = 9;
}

CResetHandshake::Action CResetHandshake::Take(BYTE b)
{
    switch (m_stage) {
    case BANNER:
        // A byte that breaks the banner is not taken as a new first letter.
        if (b != BYTE(kBanner[m_bannerPos])) {
            m_bannerPos = 0;
            return NONE;
        }
        if (++m_bannerPos < kBannerLength)
            return NONE;
        m_bannerPos = 0;
        m_stage = BOARD_ECHO;
        return ANSWER_BANNER;
    case BOARD_ECHO:
        if (b != m_echo) {
            m_echo = 0;
            m_stage = BANNER;
            return NONE;
        }
        if (m_echo < 0xFF) {
            ++m_echo;
            return NONE;
        }
        m_echo = 0;
        m_stage = VERDICT;
        return ANSWER_ECHO;
    case VERDICT:
        if (b == kAck)
            return LINE_GOOD;
        if (b == kNak)
            return LINE_REFUSED;
        m_stage = BANNER;
        return NONE;
    }
    return NONE;
}

}
