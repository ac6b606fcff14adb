// Follows the code flow of an image from its entry points: which bytes are reached
// as instructions, which addresses are jumped to, and where the trace had to stop.
//
//   CCodeTracer tracer(image);
//   tracer.Trace(0x0000);
//   if (tracer.GetMark(0x0000) == CCodeTracer::kInstruction) ...
#pragma once

#include <map>
#include <string>
#include <vector>

#include "tools/common/CodeImage.h"

namespace zordis {

class CCodeTracer {
public:
    enum Mark : unsigned char {
        kData,        // never reached as code
        kInstruction, // first byte of a reached instruction
        kInside,      // later byte of a reached instruction
    };

    // The image must outlive the tracer.
    explicit CCodeTracer(const tools::CCodeImage& image);

    // Traces everything reachable from entry, an address that holds a byte; the entry
    // counts as a target.
    void Trace(unsigned entry);

    Mark GetMark(unsigned address) const { return Mark(m_marks[address]); }
    // True for every entry and every jump, call or branch target that holds a byte.
    bool IsTarget(unsigned address) const { return m_targets[address]; }
    // Where the trace could not go on, by address: one message each.
    const std::map<unsigned, std::string>& GetWarnings() const { return m_warnings; }

private:
    // A place to trace from, with the bytes pushed on the stack since the last call
    // or entry: a RET that finds some of them jumps rather than returns.
    struct Lead {
        unsigned address;
        int pushed;
    };

    void Follow(Lead lead);
    bool Claim(unsigned address, int length);
    void AddTarget(unsigned target, int pushed);
    void Warn(unsigned address, const std::string& message);

    const tools::CCodeImage& m_image;
    std::vector<unsigned char> m_marks;
    std::vector<bool> m_targets;
    std::vector<Lead> m_leads;
    std::map<unsigned, std::string> m_warnings;
};

}
