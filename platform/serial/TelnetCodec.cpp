#include "zorkit/platform/serial/internal/TelnetCodec.h"

#include <utility>

namespace zorkit::telnet {

void AppendEscaped(const BYTE* data, std::size_t n, std::vector<BYTE>& out)
{
    for (std::size_t i = 0; i < n; ++i) {
        out.push_back(data[i]);
        if (data[i] == IAC)
            out.push_back(IAC);
    }
}

std::vector<BYTE> Negotiation(BYTE verb, BYTE option) { return {IAC, verb, option}; }

std::vector<BYTE> ComPortCommand(BYTE command, const std::vector<BYTE>& value)
{
    std::vector<BYTE> out = {IAC, SB, OPT_COM_PORT, command};
    AppendEscaped(value.data(), value.size(), out);
    out.push_back(IAC);
    out.push_back(SE);
    return out;
}

void CTelnetDecoder::Feed(const BYTE* bytes, std::size_t n, std::vector<BYTE>& data)
{
    for (std::size_t i = 0; i < n; ++i) {
        const BYTE b = bytes[i];
        switch (m_state) {
        case State::Data:
            if (b == IAC)
                m_state = State::Command;
            else
                data.push_back(b);
            break;
        case State::Command:
            if (b == IAC) {
                data.push_back(IAC);
                m_state = State::Data;
            } else if (b == WILL || b == WONT || b == DO || b == DONT) {
                m_verb = b;
                m_state = State::Option;
            } else if (b == SB) {
                m_state = State::SubOption;
            } else {
                // NOP, GA, AYT and the like carry nothing for a serial line.
                m_state = State::Data;
            }
            break;
        case State::Option:
            m_events.push_back(Event{m_verb, b, {}, data.size()});
            m_state = State::Data;
            break;
        case State::SubOption:
            m_sub = Event{SB, b, {}, 0};
            m_state = State::SubData;
            break;
        case State::SubData:
            if (b == IAC)
                m_state = State::SubIac;
            else
                m_sub.payload.push_back(b);
            break;
        case State::SubIac:
            if (b == IAC) {
                m_sub.payload.push_back(IAC);
                m_state = State::SubData;
            } else {
                // IAC SE ends it; any other command inside is a broken peer's, and ends it too.
                m_sub.dataBefore = data.size();
                m_events.push_back(std::move(m_sub));
                m_state = State::Data;
            }
            break;
        }
    }
}

std::vector<CTelnetDecoder::Event> CTelnetDecoder::TakeEvents() { return std::exchange(m_events, {}); }

}
