#include "zorkit/platform/gdi/PrintDC.h"

#include "zorkit/platform/gdi/internal/DCState.h"
#include "zorkit/platform/gdi/internal/PdfPainter.h"

BOOL CPrintDC::Create(const char* pdfPath, int pageWidth, int pageHeight, int dotsPerInch)
{
    if (!pdfPath || pageWidth <= 0 || pageHeight <= 0 || dotsPerInch <= 0)
        return FALSE;
    auto pages = std::make_unique<zorkit::PdfPainter>(pdfPath, pageWidth, pageHeight, dotsPerInch);
    if (!pages->IsOpen())
        return FALSE;
    m_state = std::make_shared<zorkit::DCState>();
    m_state->AttachPdf(std::move(pages));
    return TRUE;
}
