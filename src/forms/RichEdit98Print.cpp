#include "forms/RichEdit98.h"

#include <commdlg.h>
#include <richedit.h>

#include <stdexcept>

#include "desktop/Utf.h"

namespace tav {

bool RichEdit98::print(HWND owner, const std::string& docTitle) {
    PRINTDLGW dialog = {};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner;
    dialog.Flags = PD_RETURNDC | PD_NOPAGENUMS | PD_NOSELECTION | PD_USEDEVMODECOPIESANDCOLLATE;
    // Cancelled, or no printer: then the dialog has shown the system's own
    // message, and another one of ours would only repeat it.
    const bool chosen = PrintDlgW(&dialog) != 0;
    if (dialog.hDevMode) GlobalFree(dialog.hDevMode);
    if (dialog.hDevNames) GlobalFree(dialog.hDevNames);
    if (!chosen || !dialog.hDC) return false;

    // The whole text under the page rectangle of the printer, page by page.
    class PrinterJob : public PrintJob {
    public:
        PrinterJob(HDC dc, HWND edit, std::wstring title)
            : dc_(dc), edit_(edit), title_(std::move(title)) {
            const int dpiX = GetDeviceCaps(dc, LOGPIXELSX);
            const int dpiY = GetDeviceCaps(dc, LOGPIXELSY);
            range_.hdc = range_.hdcTarget = dc;
            range_.rcPage = {0, 0, MulDiv(GetDeviceCaps(dc, HORZRES), 1440, dpiX),
                             MulDiv(GetDeviceCaps(dc, VERTRES), 1440, dpiY)};
        }
        ~PrinterJob() override {
            SendMessageW(edit_, EM_FORMATRANGE, FALSE, 0);
            DeleteDC(dc_);
        }
        bool startDoc() override {
            DOCINFOW document = {};
            document.cbSize = sizeof document;
            document.lpszDocName = title_.c_str();
            return StartDocW(dc_, &document) > 0;
        }
        void startPage() override { StartPage(dc_); }
        long printPage(long first) override {
            range_.rc = range_.rcPage;
            range_.chrg.cpMin = first;
            range_.chrg.cpMax = -1;
            return static_cast<long>(
                SendMessageW(edit_, EM_FORMATRANGE, TRUE, reinterpret_cast<LPARAM>(&range_)));
        }
        void endPage() override { EndPage(dc_); }
        void endDoc() override { EndDoc(dc_); }

    private:
        HDC dc_;
        HWND edit_;
        std::wstring title_;
        FORMATRANGE range_ = {};
    };

    PrinterJob job(dialog.hDC, hwnd_, widen(docTitle));
    printPages(job, textLength());
    return true;
}

void printPages(PrintJob& job, long length) {
    if (!job.startDoc())
        throw std::runtime_error("Der Druckauftrag konnte nicht gestartet werden.");
    long start = 0;
    do {
        job.startPage();
        const long next = job.printPage(start);
        job.endPage();
        // No progress (an object taller than the page, or a control that
        // cannot format) would otherwise print empty pages for ever.
        if (next <= start) break;
        start = next;
    } while (start < length);
    job.endDoc();
}

}  // namespace tav
