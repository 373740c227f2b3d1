#include "platform/gdi/printer_dc.h"

#include "platform/gdi/devices.h"
#include "platform/gdi/qpainter_backend.h"

#include <QPageLayout>
#include <QPrinter>
#include <QPrinterInfo>
#include <cmath>

namespace pelmora::gdi {
namespace {

class PrinterBackend : public QPainterBackend {
public:
    explicit PrinterBackend(QPrinter& printer) : printer_(printer) {}
    ~PrinterBackend() override {
        if (jobPainter_.isActive()) {
            jobPainter_.end();
        }
    }

    int startDoc(const DOCINFO& info) {
        if (jobPainter_.isActive()) {
            return -1;
        }
        printer_.setDocName(QString::fromStdString(info.docName));
        if (!info.output.empty()) {
            printer_.setOutputFileName(QString::fromStdString(info.output));
        }
        if (!jobPainter_.begin(&printer_)) {
            return -1;
        }
        setPainter(&jobPainter_);
        pagesStarted_ = 0;
        pageOpen_ = false;
        return 1;
    }

    int startPage() {
        if (!jobPainter_.isActive() || pageOpen_) {
            return -1;
        }
        // The first page exists from begin(); every further one is a new sheet.
        if (pagesStarted_ > 0 && !printer_.newPage()) {
            return -1;
        }
        ++pagesStarted_;
        pageOpen_ = true;
        return 1;
    }

    int endPage() {
        if (!jobPainter_.isActive() || !pageOpen_) {
            return -1;
        }
        pageOpen_ = false;
        return 1;
    }

    int endDoc() {
        if (!jobPainter_.isActive()) {
            return -1;
        }
        const bool ended = jobPainter_.end();
        setPainter(nullptr);
        return ended ? 1 : -1;
    }

private:
    QPrinter& printer_;
    QPainter jobPainter_;
    int pagesStarted_ = 0;
    bool pageOpen_ = false;
};

PrinterBackend* printerBackend(DeviceContext& dc) {
    return dynamic_cast<PrinterBackend*>(&dc.backend());
}

bool sameName(const std::string& a, const char* b) {
    return QString::fromStdString(a).compare(QLatin1String(b), Qt::CaseInsensitive) == 0;
}

} // namespace

DeviceCaps printerCaps(const QPrinter& printer) {
    const int dpi = printer.resolution();
    const QPageLayout layout = printer.pageLayout();
    const QRect printable = layout.paintRectPixels(dpi);
    const QRect sheet = layout.fullRectPixels(dpi);
    const QRectF printableMm = layout.paintRect(QPageLayout::Millimeter);
    DeviceCaps caps;
    caps.technology = DT_RASPRINTER;
    caps.logPixelsX = dpi;
    caps.logPixelsY = dpi;
    caps.horzRes = printable.width();
    caps.vertRes = printable.height();
    caps.horzSizeMm = static_cast<int>(std::lround(printableMm.width()));
    caps.vertSizeMm = static_cast<int>(std::lround(printableMm.height()));
    caps.physicalWidth = sheet.width();
    caps.physicalHeight = sheet.height();
    caps.physicalOffsetX = printable.x() - sheet.x();
    caps.physicalOffsetY = printable.y() - sheet.y();
    caps.rasterCaps = RC_BITBLT | RC_DIBTODEV | RC_STRETCHDIB;
    return caps;
}

std::unique_ptr<DeviceContext> createPrinterDC(QPrinter& printer) {
    return std::make_unique<DeviceContext>(std::make_unique<PrinterBackend>(printer),
                                           printerCaps(printer));
}

int StartDoc(DeviceContext& dc, const DOCINFO& info) {
    PrinterBackend* backend = printerBackend(dc);
    return backend != nullptr ? backend->startDoc(info) : -1;
}

int StartPage(DeviceContext& dc) {
    PrinterBackend* backend = printerBackend(dc);
    return backend != nullptr ? backend->startPage() : -1;
}

int EndPage(DeviceContext& dc) {
    PrinterBackend* backend = printerBackend(dc);
    return backend != nullptr ? backend->endPage() : -1;
}

int EndDoc(DeviceContext& dc) {
    PrinterBackend* backend = printerBackend(dc);
    return backend != nullptr ? backend->endDoc() : -1;
}

std::unique_ptr<DeviceContext> createPrinterIC(const std::string& driver, const std::string& device,
                                               const std::string& /*port*/) {
    if (sameName(driver, "DISPLAY")) {
        return createInformationContext(displayCaps());
    }
    if (sameName(driver, "CUPS")) {
        const QPrinterInfo info = QPrinterInfo::printerInfo(QString::fromStdString(device));
        if (device.empty() || info.isNull()) {
            return nullptr;
        }
        const QPrinter printer(info, QPrinter::HighResolution);
        return createInformationContext(printerCaps(printer));
    }
    if (sameName(driver, "PDF")) {
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        return createInformationContext(printerCaps(printer));
    }
    return nullptr;
}

std::string defaultPrinterProfileString() {
    const QString name = QPrinterInfo::defaultPrinterName();
    if (name.isEmpty()) {
        return ",,,";
    }
    return name.toStdString() + ",CUPS,CUPS:";
}

} // namespace pelmora::gdi
