#include "platform/gdi/printer_dc.h"

#include "platform/core/atomic_file.h"
#include "platform/core/descriptor.h"
#include "platform/core/message.h"
#include "platform/gdi/devices.h"
#include "platform/gdi/qpainter_backend.h"

#include <QFile>
#include <QPageLayout>
#include <QPaintEngine>
#include <QPrinter>
#include <QPrinterInfo>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <memory>
#include <optional>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace pelmora::gdi {
namespace {

// Why a file cannot take a printed document, in the system's words; empty when it can: an
// existing target must be a regular file the user may write (the atomic writer's rename would
// otherwise replace a read-only file), a new one needs a folder the user may write into.
std::string targetProblem(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) == 0) {
        if (S_ISDIR(info.st_mode)) {
            return "it is a folder";
        }
        if (!S_ISREG(info.st_mode)) {
            return "not a regular file";
        }
        return ::access(path.c_str(), W_OK) == 0 ? std::string() : std::strerror(errno);
    }
    if (errno != ENOENT) {
        return std::strerror(errno);
    }
    const std::size_t slash = path.rfind('/');
    const std::string folder =
        slash == std::string::npos ? "." : (slash == 0 ? "/" : path.substr(0, slash));
    return ::access(folder.c_str(), W_OK | X_OK) == 0 ? std::string() : std::strerror(errno);
}

// The whole content of the file open on `fd`, from its start.
bool readWhole(int fd, std::string& content) {
    char buffer[65536];
    off_t offset = 0;
    for (;;) {
        const ssize_t got = ::pread(fd, buffer, sizeof buffer, offset);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            return false;
        }
        if (got == 0) {
            return true;
        }
        content.append(buffer, static_cast<std::size_t>(got));
        offset += got;
    }
}

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
        pageFailed_ = false;
        return 1;
    }

    int startPage() {
        if (!jobPainter_.isActive() || pageOpen_) {
            return -1;
        }
        // The first page exists from begin(); every further one is a new sheet.
        if (pagesStarted_ > 0 && !printer_.newPage()) {
            pageFailed_ = true;
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
        // A job that lost a sheet writes no file: an incomplete document is worse than none.
        // (Calls refused for coming out of order changed nothing and lose no sheet.)
        if (!ended || pageFailed_) {
            abandonOutput();
            return -1;
        }
        return commitOutput() ? 1 : -1;
    }

private:
    // A document printed into a file is written into memory first (an anonymous memory file
    // the PDF writer opens by its /proc name) and put in place by the checked atomic writer
    // once the whole document is there. The PDF writer ignores failed writes, so writing it
    // straight onto a full disk would leave a truncated document reported as printed; this
    // way every write, the sync and the close are checked, and a failed or cut-off job leaves
    // the previous file exactly as it was, with no partial file beside it.
    bool redirectOutput() {
        target_ = printer_.outputFileName();
        // A print preview paints into pictures and writes no file.
        const QPaintEngine* engine = printer_.paintEngine();
        if (target_.isEmpty() || (engine != nullptr && engine->type() == QPaintEngine::Picture)) {
            target_.clear();
            return true;
        }
        if (const std::string problem = targetProblem(targetPath()); !problem.empty()) {
            return refuse(problem);
        }
        memory_.emplace(::memfd_create("pelmora-print", MFD_CLOEXEC));
        if (!memory_->valid()) {
            const int error = errno;
            memory_.reset();
            return refuse(std::string("cannot hold the document: ") + std::strerror(error));
        }
        printer_.setOutputFileName(QStringLiteral("/proc/self/fd/%1").arg(memory_->get()));
        return true;
    }

    bool commitOutput() {
        if (!memory_) {
            return true;
        }
        printer_.setOutputFileName(target_);
        std::string document;
        const bool read = readWhole(memory_->get(), document);
        const int error = errno;
        memory_.reset();
        if (!read) {
            return refuse(std::string("cannot read the document back: ") + std::strerror(error));
        }
        if (document.empty()) {
            return refuse("the document is empty");
        }
        std::string problem;
        if (!writeFileAtomically(targetPath(), document, &problem)) {
            return refuse(problem);
        }
        return true;
    }

    void abandonOutput() {
        if (memory_) {
            printer_.setOutputFileName(target_);
            memory_.reset();
        }
    }

    std::string targetPath() const { return QFile::encodeName(target_).toStdString(); }

    // Says why the job cannot write its file (caption kPrintFileErrorCaption); false.
    bool refuse(const std::string& problem) const {
        reportMessage(nullptr, "Cannot write " + targetPath() + ": " + problem,
                      kPrintFileErrorCaption, MB_ICONERROR);
        return false;
    }

    QPrinter& printer_;
    QString target_;
    std::optional<Descriptor> memory_;
    bool pageFailed_ = false;
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
