#include "platform/gdi/printer_dc.h"

#include "platform/gdi/devices.h"
#include "platform/gdi/qpainter_backend.h"

#include <QDir>
#include <QFileInfo>
#include <QPageLayout>
#include <QPaintEngine>
#include <QPrinter>
#include <QPrinterInfo>
#include <QTemporaryFile>
#include <cmath>
#include <cstdio>
#include <memory>
#include <sys/stat.h>

namespace pelmora::gdi {
namespace {

class PrinterBackend : public QPainterBackend {
public:
    explicit PrinterBackend(QPrinter& printer) : printer_(printer) {}
    ~PrinterBackend() override {
        if (jobPainter_.isActive()) {
            jobPainter_.end();
        }
        abandonOutput();
    }

    int startDoc(const DOCINFO& info) {
        if (jobPainter_.isActive()) {
            return -1;
        }
        printer_.setDocName(QString::fromStdString(info.docName));
        if (!info.output.empty()) {
            printer_.setOutputFileName(QString::fromStdString(info.output));
        }
        if (!redirectOutput() || !jobPainter_.begin(&printer_)) {
            abandonOutput();
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
        return ended && commitOutput() ? 1 : -1;
    }

private:
    // A file the job prints into is written under a temporary name in the same folder and
    // renamed over the target only once the whole document is there, so a failed or cut-off
    // job never leaves a partial file, nor costs the one that was there before.
    bool redirectOutput() {
        target_ = printer_.outputFileName();
        // A print preview paints into pictures and writes no file.
        const QPaintEngine* engine = printer_.paintEngine();
        if (target_.isEmpty() || (engine != nullptr && engine->type() == QPaintEngine::Picture)) {
            target_.clear();
            return true;
        }
        const QFileInfo info(target_);
        partial_ = std::make_unique<QTemporaryFile>(info.absolutePath() + QStringLiteral("/.") +
                                                    info.fileName() + QStringLiteral(".XXXXXX"));
        if (!partial_->open()) {
            partial_.reset();
            return false;
        }
        partial_->close();
        printer_.setOutputFileName(partial_->fileName());
        return true;
    }

    bool commitOutput() {
        if (!partial_) {
            return true;
        }
        printer_.setOutputFileName(target_);
        const QString written = partial_->fileName();
        if (QFileInfo(written).size() <= 0 ||
            std::rename(QFile::encodeName(written).constData(),
                        QFile::encodeName(target_).constData()) != 0) {
            partial_.reset(); // removes the temporary file
            return false;
        }
        // The temporary file was made private; the document gets the mode a new file gets.
        const mode_t mask = ::umask(0);
        ::umask(mask);
        ::chmod(QFile::encodeName(target_).constData(), 0666 & ~mask);
        partial_->setAutoRemove(false);
        partial_.reset();
        return true;
    }

    void abandonOutput() {
        if (partial_) {
            printer_.setOutputFileName(target_);
            partial_.reset();
        }
    }

    QPrinter& printer_;
    QString target_;
    std::unique_ptr<QTemporaryFile> partial_;
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

std::unique_ptr<QPrinter> createPrinter(const PrinterChoice& choice) {
    std::unique_ptr<QPrinter> printer;
    if (sameName(choice.driver, "CUPS") && !choice.device.empty()) {
        const QPrinterInfo info = QPrinterInfo::printerInfo(QString::fromStdString(choice.device));
        if (!info.isNull()) {
            printer = std::make_unique<QPrinter>(info, QPrinter::HighResolution);
        }
    }
    if (!printer && !sameName(choice.driver, "PDF")) {
        const QPrinterInfo fallback = QPrinterInfo::defaultPrinter();
        if (!fallback.isNull()) {
            printer = std::make_unique<QPrinter>(fallback, QPrinter::HighResolution);
        }
    }
    if (!printer) {
        printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
        printer->setOutputFormat(QPrinter::PdfFormat);
        if (sameName(choice.driver, "PDF")) {
            printer->setOutputFileName(QString::fromStdString(choice.port));
        }
    }
    if (choice.paperSize > 0) {
        const QPageSize size(QPageSize::id(choice.paperSize));
        if (size.isValid()) {
            printer->setPageSize(size);
        }
    }
    printer->setPageOrientation(choice.orientation == 2 ? QPageLayout::Landscape
                                                        : QPageLayout::Portrait);
    return printer;
}

PrinterChoice choiceOf(const QPrinter& printer) {
    PrinterChoice choice;
    if (printer.outputFormat() == QPrinter::PdfFormat) {
        choice.driver = "PDF";
        choice.port = printer.outputFileName().toStdString();
    } else {
        choice.driver = "CUPS";
        choice.device = printer.printerName().toStdString();
    }
    const QPageLayout layout = printer.pageLayout();
    choice.orientation = layout.orientation() == QPageLayout::Landscape ? 2 : 1;
    const int code = layout.pageSize().windowsId();
    choice.paperSize = code > 0 ? code : -1;
    return choice;
}

std::string defaultPrinterProfileString() {
    const QString name = QPrinterInfo::defaultPrinterName();
    if (name.isEmpty()) {
        return ",,,";
    }
    return name.toStdString() + ",CUPS,CUPS:";
}

} // namespace pelmora::gdi
