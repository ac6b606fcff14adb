// A printing device context whose pages go to a PDF file. Device units are printer dots
// at the given resolution; the default page is A4 landscape at 1200 dots per inch.
//
//   CPrintDC dc;
//   dc.Create("out.pdf");
//   dc.StartDoc("graph");
//   dc.StartPage();
//   ... draw ...
//   dc.EndPage();
//   dc.EndDoc();        // the file is complete
#pragma once

#include "zorkit/platform/gdi/DC.h"

class CPrintDC : public CDC {
public:
    BOOL Create(const char* pdfPath, int pageWidth = 14031, int pageHeight = 9921, int dotsPerInch = 1200);
};
