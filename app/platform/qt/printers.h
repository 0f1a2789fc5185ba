// The printers the system offers, the program's current printer, and printing one page on it.
#pragma once

#include <QPainter>
#include <QPrinter>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace kerbolt {

class IPrinters {
public:
    virtual ~IPrinters() = default;
    // Device names of the installed printers, in the system's order.
    virtual std::vector<std::string> Names() = 0;
    // The device name of the program's current printer ("" when there is none).
    virtual std::string CurrentName() = 0;
    // Makes the first printer of that exact name current; false (and nothing changes) when no
    // installed printer has the name.
    virtual bool SelectCurrent(const std::string& name) = 0;
    // Prints one page on the current printer; the painter is set up on the printer's page with
    // its own resolution. Returns "" or a description of the failure.
    virtual std::string PrintPage(const std::function<void(QPainter&, QPrinter&)>& paint) = 0;
};

// The system's printers, through the printing service (CUPS on Linux).
std::unique_ptr<IPrinters> MakeSystemPrinters();

// Printers that print into PDF files: `names` are the printers offered; every page printed goes
// to `output_pdf`. For tests and machines without a printer.
class PdfFilePrinters final : public IPrinters {
public:
    PdfFilePrinters(std::vector<std::string> names, std::string output_pdf);
    std::vector<std::string> Names() override { return names_; }
    std::string CurrentName() override { return current_; }
    bool SelectCurrent(const std::string& name) override;
    std::string PrintPage(const std::function<void(QPainter&, QPrinter&)>& paint) override;

    int pages_printed = 0;

private:
    std::vector<std::string> names_;
    std::string output_pdf_;
    std::string current_;
};

} // namespace kerbolt
