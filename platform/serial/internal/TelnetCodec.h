// The byte level of a telnet connection that carries a serial line (RFC 854 framing,
// RFC 2217 COM-PORT-OPTION): data bytes with IAC doubled, option negotiation, and
// subnegotiations. It keeps no socket; the network line feeds it what it received
// and sends what it returns.
//
//   CTelnetDecoder decoder;
//   decoder.Feed(received, count, staged);     // data bytes appended to staged
//   for (const CTelnetDecoder::Event& e : decoder.TakeEvents()) ...
#pragma once

#include <cstddef>
#include <vector>

#include "zorkit/platform/core/WinTypes.h"

namespace zorkit::telnet {

constexpr BYTE SE = 240;
constexpr BYTE SB = 250;
constexpr BYTE WILL = 251;
constexpr BYTE WONT = 252;
constexpr BYTE DO = 253;
constexpr BYTE DONT = 254;
constexpr BYTE IAC = 255;

constexpr BYTE OPT_BINARY = 0;
constexpr BYTE OPT_SUPPRESS_GO_AHEAD = 3;
constexpr BYTE OPT_COM_PORT = 44;

// COM-PORT-OPTION commands from client to server; the server answers each with
// the command + kServerOffset.
constexpr BYTE CPO_SET_BAUDRATE = 1;
constexpr BYTE CPO_SET_DATASIZE = 2;
constexpr BYTE CPO_SET_PARITY = 3;
constexpr BYTE CPO_SET_STOPSIZE = 4;
constexpr BYTE CPO_SET_CONTROL = 5;
constexpr BYTE CPO_NOTIFY_LINESTATE = 6;
constexpr BYTE CPO_NOTIFY_MODEMSTATE = 7;
constexpr BYTE CPO_SET_LINESTATE_MASK = 10;
constexpr BYTE CPO_SET_MODEMSTATE_MASK = 11;
constexpr BYTE CPO_PURGE_DATA = 12;
constexpr BYTE kServerOffset = 100;

constexpr BYTE PARITY_NONE = 1;
constexpr BYTE STOPSIZE_2 = 2;
constexpr BYTE CONTROL_NO_FLOW = 1;
constexpr BYTE CONTROL_DTR_ON = 8;
constexpr BYTE CONTROL_DTR_OFF = 9;
constexpr BYTE CONTROL_RTS_ON = 11;
constexpr BYTE CONTROL_RTS_OFF = 12;
constexpr BYTE PURGE_RECEIVE = 1; // the server's buffer of bytes from the serial line
constexpr BYTE PURGE_TRANSMIT = 2;

// Appends `data` to `out` with every IAC doubled.
void AppendEscaped(const BYTE* data, std::size_t n, std::vector<BYTE>& out);
// IAC verb option.
std::vector<BYTE> Negotiation(BYTE verb, BYTE option);
// IAC SB COM-PORT-OPTION command value... IAC SE, the value escaped.
std::vector<BYTE> ComPortCommand(BYTE command, const std::vector<BYTE>& value);

class CTelnetDecoder {
public:
    struct Event {
        BYTE verb;                 // WILL, WONT, DO, DONT, or SB for a subnegotiation
        BYTE option;
        std::vector<BYTE> payload; // a subnegotiation's bytes after the option, unescaped
        std::size_t dataBefore;    // the size `data` had when the event ended: what came before it
    };

    // Splits received bytes into data (appended to `data`) and events; a command cut
    // off at the end of `bytes` is completed by the next call.
    void Feed(const BYTE* bytes, std::size_t n, std::vector<BYTE>& data);
    std::vector<Event> TakeEvents();

private:
    enum class State { Data, Command, Option, SubOption, SubData, SubIac };

    State m_state = State::Data;
    BYTE m_verb = 0;
    Event m_sub;
    std::vector<Event> m_events;
};

}
