#include "app/platform/qt/printers.h"

#include <QPageLayout>
#include <QPrinterInfo>

namespace kerbolt {
namespace {

std::string PaintOn(QPrinter& printer, const std::function<void(QPainter&, QPrinter&)>& paint) {
    QPainter painter;
    if (!painter.begin(&printer)) return "The printer could not be opened.";
    paint(painter, printer);
    if (!painter.end()) return "The page could not be sent to the printer.";
    return {};
}

class SystemPrinters final : public IPrinters {
public:
    SystemPrinters() : current_(QPrinterInfo::defaultPrinterName().toStdString()) {}

    std::vector<std::string> Names() override {
        std::vector<std::string> names;
        for (const QString& name : QPrinterInfo::availablePrinterNames())
            names.push_back(name.toStdString());
        return names;
    }

    std::string CurrentName() override { return current_; }

    bool SelectCurrent(const std::string& name) override {
        for (const std::string& candidate : Names()) {
            if (candidate == name) {
                current_ = name;
                return true;
            }
        }
        return false;
    }

    std::string PrintPage(const std::function<void(QPainter&, QPrinter&)>& paint) override {
        const QPrinterInfo info = QPrinterInfo::printerInfo(QString::fromStdString(current_));
        if (info.isNull()) return "No printer is installed.";
        QPrinter printer(info, QPrinter::HighResolution);
        printer.setDocName(QStringLiteral("Kerbolt"));
        return PaintOn(printer, paint);
    }

private:
    std::string current_;
};

} // namespace

std::unique_ptr<IPrinters> MakeSystemPrinters() {
    return std::make_unique<SystemPrinters>();
}

PdfFilePrinters::PdfFilePrinters(std::vector<std::string> names, std::string output_pdf)
    : names_(std::move(names)), output_pdf_(std::move(output_pdf)),
      current_(names_.empty() ? std::string() : names_.front()) {}

bool PdfFilePrinters::SelectCurrent(const std::string& name) {
    for (const std::string& candidate : names_) {
        if (candidate == name) {
            current_ = name;
            return true;
        }
    }
    return false;
}

std::string PdfFilePrinters::PrintPage(const std::function<void(QPainter&, QPrinter&)>& paint) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QString::fromStdString(output_pdf_));
    printer.setPageSize(QPageSize(QPageSize::A4));
    std::string error = PaintOn(printer, paint);
    if (error.empty()) ++pages_printed;
    return error;
}

} // namespace kerbolt
