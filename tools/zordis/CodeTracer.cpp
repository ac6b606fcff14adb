#include "tools/zordis/CodeTracer.h"

#include "tools/zordis/Instruction.h"
#include "tools/zordis/Options.h"

namespace zordis {

namespace {

constexpr unsigned char kPush = 0xC0;
constexpr unsigned char kPop = 0xD0;

} // namespace

CCodeTracer::CCodeTracer(const tools::CCodeImage& image)
    : m_image(image)
    , m_marks(tools::CCodeImage::kSize, kData)
    , m_targets(tools::CCodeImage::kSize)
{
}

void CCodeTracer::Trace(unsigned entry)
{
    m_targets[entry] = true;
    m_leads.push_back({entry, 0});
    while (!m_leads.empty()) {
        const Lead lead = m_leads.back();
        m_leads.pop_back();
        Follow(lead);
    }
}

// Decodes straight on from lead until the flow leaves, queueing every target met.
void CCodeTracer::Follow(Lead lead)
{
    unsigned address = lead.address;
    int pushed = lead.pushed;
    while (m_image.IsKnown(address)) {
        if (m_marks[address] == kInstruction)
            return;
        if (m_marks[address] == kInside) {
            unsigned start = address;
            while (m_marks[start] != kInstruction)
                --start;
            Warn(address, "reached inside the instruction at " + Hex4(start) + "; not traced from there");
            return;
        }
        const unsigned char opcode = m_image.At(address);
        const Instruction instruction = DecodeInstruction(m_image.Data() + address, address);
        if (instruction.flow == Flow::Invalid) {
            Warn(address, "A5 is no instruction; the trace ends there and the byte stays data");
            return;
        }
        if (!Claim(address, instruction.length))
            return;

        switch (instruction.flow) {
        case Flow::Jump:
            AddTarget(instruction.target, pushed);
            return;
        case Flow::Call:
            AddTarget(instruction.target, 0);
            break;
        case Flow::Branch:
            AddTarget(instruction.target, pushed);
            break;
        case Flow::Return:
            if (pushed > 0)
                Warn(address, "RET after a PUSH jumps to a computed address; the trace ends there");
            return;
        case Flow::Indirect:
            Warn(address, "JMP @A+DPTR jumps through a table; the trace ends there");
            return;
        case Flow::ReturnFromInterrupt:
        case Flow::Invalid:
            return;
        case Flow::Next:
            if (opcode == kPush)
                ++pushed;
            else if (opcode == kPop)
                --pushed;
            break;
        }
        // The program counter wraps from FFFF to 0000.
        address = (address + unsigned(instruction.length)) & 0xFFFF;
    }
}

// Marks the instruction of length bytes at address as reached; false, with a warning,
// when its bytes are missing or already belong to another instruction.
bool CCodeTracer::Claim(unsigned address, int length)
{
    for (int i = 1; i < length; ++i) {
        const unsigned at = address + unsigned(i);
        if (!m_image.IsKnown(at)) {
            Warn(address, "the instruction runs past the data; the trace ends there");
            return false;
        }
        if (m_marks[at] != kData) {
            Warn(address, "the instruction overlaps code already reached at " + Hex4(at) + "; the trace ends there");
            return false;
        }
    }
    m_marks[address] = kInstruction;
    for (int i = 1; i < length; ++i)
        m_marks[address + unsigned(i)] = kInside;
    return true;
}

void CCodeTracer::AddTarget(unsigned target, int pushed)
{
    if (!m_image.IsKnown(target))
        return;
    m_targets[target] = true;
    if (m_marks[target] != kInstruction)
        m_leads.push_back({target, pushed});
}

void CCodeTracer::Warn(unsigned address, const std::string& message)
{
    m_warnings.emplace(address, message);
}

}
