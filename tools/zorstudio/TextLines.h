// Text moved between files, strings and text buffers as lines.
#pragma once

#include <string>
#include <vector>

#include "zorkit/editor/TextBuf.h"

namespace zorstudio {

// The lines of text, without their LF or CR LF ends.
std::vector<std::string> SplitLines(const std::string& text);
// Replaces the buffer's text by lines (GBK) and tells its views.
void FillBuffer(CTextBuf& buffer, const std::vector<std::string>& lines);
// The buffer's text with LF line ends, the last line ended too.
std::string BufferText(const CTextBuf& buffer);

}
