// Writes a traced image as source for the 8051 assembler: reached instructions with
// labels and register names, everything else as .db, an .org for every run, so that
// assembling it gives the image's bytes at the image's addresses.
#pragma once

#include <string>

#include "tools/common/CodeImage.h"
#include "tools/zordis/CodeTracer.h"

namespace zordis {

class CAsmWriter {
public:
    // Both must outlive the writer.
    CAsmWriter(const tools::CCodeImage& image, const CCodeTracer& tracer);

    // Appends the whole source to out; title goes into its first comment line.
    void Write(const std::string& title, std::string& out) const;

private:
    void WriteRun(const tools::CCodeImage::Run& run, std::string& out) const;
    void WriteInstruction(unsigned address, std::string& out) const;
    // Writes the bytes from address on up to end as .db lines; returns where it stopped:
    // at end, at an instruction or at a label.
    unsigned WriteData(unsigned address, unsigned end, std::string& out) const;
    void AppendCodeAddress(unsigned target, std::string& out) const;
    bool IsLineLabel(unsigned address) const;

    const tools::CCodeImage& m_image;
    const CCodeTracer& m_tracer;
};

}
