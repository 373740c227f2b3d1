#include "render/dialogs/printer_setup_dialog.h"

#include "platform/gdi/device_context.h"
#include "platform/gdi/devices.h"
#include "platform/gdi/gdi_types.h"
#include "platform/gdi/printer_dc.h"
#include "platform/ui/dialog_units.h"
#include "platform/ui/dialogs.h"
#include "platform/ui/print_dialogs.h"
#include "render/alignment_sheet.h"
#include "render/dialogs/calibration_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPrinter>
#include <QPushButton>
#include <QStyleOptionComboBox>
#include <QStyledItemDelegate>
#include <cmath>
#include <cstdio>
#include <iterator>
#include <utility>

namespace pelmora {

namespace {

constexpr int kBorderItemHeight = 20;
constexpr const char* kBorderStyleNames[] = {"Solid",    "Dash",         "Dot",
                                             "Dash-Dot", "Dash-Dot-Dot", "None"};

// One border style as a white box crossed by a black one-pixel line in that pen style, drawn
// through the device-context layer so that the dashes are those of the printed border.
void drawBorderSample(QPainter& painter, const QRect& box, int penStyle, bool focused) {
    auto dc = gdi::createPainterDC(painter, gdi::displayCaps());
    const int left = box.left();
    const int top = box.top();
    const int right = box.right() + 1;
    const int bottom = box.bottom() + 1;
    dc->SelectObject(gdi::GetStockPen(gdi::WHITE_PEN));
    dc->SelectObject(gdi::GetStockBrush(gdi::WHITE_BRUSH));
    dc->Rectangle(left, top, right, bottom);
    const int middle = top + box.height() / 2;
    dc->SelectObject(gdi::CreatePen(penStyle, 0, RGB(0, 0, 0)));
    dc->MoveToEx(left, middle);
    dc->LineTo(right, middle);
    if (focused) {
        dc->SelectObject(gdi::CreatePen(gdi::PS_DOT, 0, RGB(0, 0, 0)));
        dc->SelectObject(gdi::GetStockBrush(gdi::NULL_BRUSH));
        dc->Rectangle(left, top, right, bottom);
    }
}

// The items of the open list: the row is the pen style.
class BorderStyleDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        const bool focused = option.state & (QStyle::State_Selected | QStyle::State_HasFocus);
        drawBorderSample(*painter, option.rect, index.row(), focused);
    }

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const override {
        return QSize(option.rect.width(), kBorderItemHeight);
    }
};

// The closed list shows the selected style in its field instead of text.
class BorderStyleList : public QComboBox {
public:
    explicit BorderStyleList(QWidget* parent) : QComboBox(parent) {
        // The delegate belongs to the list (Qt parent ownership).
        setItemDelegate(new BorderStyleDelegate(this));
        for (int style = gdi::PS_SOLID; style <= gdi::PS_NULL; ++style) {
            addItem(QString());
            setItemData(style, QString::fromLatin1(kBorderStyleNames[style]),
                        Qt::AccessibleTextRole);
        }
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        QStyleOptionComboBox option;
        initStyleOption(&option);
        option.currentText.clear();
        option.currentIcon = QIcon();
        style()->drawComplexControl(QStyle::CC_ComboBox, &option, &painter, this);
        if (currentIndex() >= 0) {
            const QRect field = style()->subControlRect(QStyle::CC_ComboBox, &option,
                                                        QStyle::SC_ComboBoxEditField, this);
            drawBorderSample(painter, field, currentIndex(), hasFocus());
        }
    }
};

// The PDF printer and the screen fallback have no device name; say what they are instead.
QString printerDisplayName(const PrinterIdentity& printer) {
    if (printer.device[0] != '\0') {
        return QString::fromUtf8(printer.device);
    }
    if (QString::fromUtf8(printer.driver).compare(QStringLiteral("PDF"), Qt::CaseInsensitive) ==
        0) {
        return printer.port[0] == '\0'
                   ? QStringLiteral("PDF file")
                   : QStringLiteral("PDF file: ") + QString::fromUtf8(printer.port);
    }
    return QStringLiteral("(no printer)");
}

QString inchesText(double inches) {
    return QString::asprintf("%01.3f", inches);
}

// A text that does not start with a number leaves the value as it was; so does "nan" or "inf",
// which would give the sheet no place at all.
void readInches(const QLineEdit& edit, double& inches) {
    double value = 0.0;
    if (std::sscanf(edit.text().toUtf8().constData(), "%lf", &value) == 1 && std::isfinite(value)) {
        inches = value;
    }
}

QLabel* caption(const QString& text, const QRect& rect, QWidget* buddy, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setGeometry(rect);
    label->setBuddy(buddy);
    return label;
}

} // namespace

PrinterSetupDialog::PrinterSetupDialog(QWidget* owner, PrinterIdentity& printer,
                                       PrintSettings& print, PaintSettings& paint,
                                       std::function<void()> printerChanged,
                                       CalibrationTable* calibrations)
    : QDialog(owner), printer_(printer), print_(print), paint_(paint),
      printerChanged_(std::move(printerChanged)), calibrations_(calibrations), original_(printer),
      originalOrientation_(print.orientation), originalPaperSize_(print.paperSize) {
    setObjectName(QStringLiteral("printerSetupDialog"));
    setWindowTitle(QStringLiteral("Printer Setup"));
    setFixedSize(ui::dluSize(210, 130));

    // Child widgets belong to the dialog (Qt parent ownership). The group box comes first so
    // that the controls inside it lie on top of it.
    auto* placement = new QGroupBox(QStringLiteral("Placement"), this);
    placement->setObjectName(QStringLiteral("placementGroup"));
    placement->setGeometry(ui::dluRect(7, 76, 133, 47));

    borders_ = new BorderStyleList(this);
    borders_->setObjectName(QStringLiteral("borderList"));
    borders_->setGeometry(ui::dluRect(42, 7, 98, 15));
    borders_->setCurrentIndex(paint.borderIndex);
    caption(QStringLiteral("&Border:"), ui::dluRect(7, 10, 33, 8), borders_, this);

    cropMarks_ = new QCheckBox(QStringLiteral("Crop &Marks"), this);
    cropMarks_->setObjectName(QStringLiteral("cropMarks"));
    cropMarks_->setGeometry(ui::dluRect(7, 28, 133, 10));
    cropMarks_->setChecked(print.cropMarks != 0);

    separate_ = new QCheckBox(QStringLiteral("&Space Between Labels"), this);
    separate_->setObjectName(QStringLiteral("spaceBetweenLabels"));
    separate_->setGeometry(ui::dluRect(7, 41, 133, 10));
    separate_->setChecked(print.separate != 0);

    auto* choose = new QPushButton(QStringLiteral("&Printer:"), this);
    choose->setObjectName(QStringLiteral("printerButton"));
    choose->setGeometry(ui::dluRect(7, 56, 40, 14));
    printerName_ = new QLabel(printerDisplayName(printer), this);
    printerName_->setObjectName(QStringLiteral("printerName"));
    printerName_->setTextFormat(Qt::PlainText); // a printer or file name is never markup
    printerName_->setGeometry(ui::dluRect(51, 59, 152, 8));

    defaultPosition_ = new QCheckBox(QStringLiteral("&Default Position"), this);
    defaultPosition_->setObjectName(QStringLiteral("defaultPosition"));
    defaultPosition_->setGeometry(ui::dluRect(14, 88, 110, 10));
    defaultPosition_->setChecked(print.defaultPosition != 0);
    positionX_ = new QLineEdit(inchesText(print.positionX), this);
    positionX_->setObjectName(QStringLiteral("positionX"));
    positionX_->setGeometry(ui::dluRect(44, 103, 28, 12));
    caption(QStringLiteral("&X (in.):"), ui::dluRect(14, 105, 29, 8), positionX_, this);
    positionY_ = new QLineEdit(inchesText(print.positionY), this);
    positionY_->setObjectName(QStringLiteral("positionY"));
    positionY_->setGeometry(ui::dluRect(106, 103, 28, 12));
    caption(QStringLiteral("&Y (in.):"), ui::dluRect(77, 105, 28, 8), positionY_, this);

    auto* ok = new QPushButton(QStringLiteral("&OK"), this);
    ok->setObjectName(QStringLiteral("okButton"));
    ok->setDefault(true);
    ok->setGeometry(ui::dluRect(153, 7, 50, 14));
    auto* cancel = new QPushButton(QStringLiteral("&Cancel"), this);
    cancel->setObjectName(QStringLiteral("cancelButton"));
    cancel->setGeometry(ui::dluRect(153, 24, 50, 14));
    auto* calibrateButton = new QPushButton(QStringLiteral("Ca&librate..."), this);
    calibrateButton->setObjectName(QStringLiteral("calibrateButton"));
    calibrateButton->setGeometry(ui::dluRect(153, 41, 50, 14));
    calibrateButton->setEnabled(calibrations_ != nullptr);

    QWidget* const tabOrder[] = {borders_,   cropMarks_, separate_, choose, defaultPosition_,
                                 positionX_, positionY_, ok,        cancel, calibrateButton};
    for (std::size_t i = 1; i < std::size(tabOrder); ++i) {
        setTabOrder(tabOrder[i - 1], tabOrder[i]);
    }

    connect(defaultPosition_, &QCheckBox::toggled, this, [this] { showPlacementEnabled(); });
    connect(choose, &QPushButton::clicked, this, [this] { choosePrinter(); });
    connect(calibrateButton, &QPushButton::clicked, this, [this] { calibrate(); });
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    showPlacementEnabled();
    borders_->setFocus();
}

void PrinterSetupDialog::showPlacementEnabled() {
    // The user's position only counts while the format's own position is off.
    const bool own = !defaultPosition_->isChecked();
    positionX_->setEnabled(own);
    positionY_->setEnabled(own);
}

void PrinterSetupDialog::choosePrinter() {
    gdi::PrinterChoice choice = PrinterChoiceOf(printer_, print_);
    if (ui::askPrintSetup(this, choice) != 1) {
        return;
    }
    TakeOverPrinterChoice(choice, printer_, print_);
    if (printerChanged_) {
        printerChanged_();
    }
    printerName_->setText(printerDisplayName(printer_));
}

void PrinterSetupDialog::calibrate() {
    if (calibrations_ == nullptr) {
        return;
    }
    const std::string key = CalibrationKey(printer_);
    Calibration calibration = FindCalibration(*calibrations_, key);
    CalibrationDialog dialog(this, printerDisplayName(printer_), calibration,
                             [this] { printAlignmentSheet(); });
    if (ui::runDialog(dialog) == QDialog::Accepted) {
        StoreCalibration(*calibrations_, key, calibration);
    }
}

void PrinterSetupDialog::printAlignmentSheet() {
    gdi::PrinterChoice choice = PrinterChoiceOf(printer_, print_);
    int copies = 1;
    std::unique_ptr<QPrinter> printer = ui::askPrint(this, choice, copies);
    if (printer) {
        PrintAlignmentSheet(gdi::createPrinterDC(*printer));
    }
}

void PrinterSetupDialog::accept() {
    if (borders_->currentIndex() >= 0) {
        paint_.borderIndex = borders_->currentIndex();
    }
    print_.cropMarks = cropMarks_->isChecked() ? 1 : 0;
    print_.separate = separate_->isChecked() ? 1 : 0;
    print_.defaultPosition = defaultPosition_->isChecked() ? 1 : 0;
    // Read even when disabled, so the stored position is always what the edits show.
    readInches(*positionX_, print_.positionX);
    readInches(*positionY_, print_.positionY);
    QDialog::accept();
}

void PrinterSetupDialog::reject() {
    // The printer may have been switched already (and the labels measured on it).
    printer_ = original_;
    print_.orientation = originalOrientation_;
    print_.paperSize = originalPaperSize_;
    if (printerChanged_) {
        printerChanged_();
    }
    QDialog::reject();
}

int PrinterSetup(QWidget* owner, PrinterIdentity& printer, PrintSettings& print,
                 PaintSettings& paint, POINT& rememberedPosition,
                 const std::function<void()>& printerChanged, CalibrationTable* calibrations) {
    PrinterSetupDialog dialog(owner, printer, print, paint, printerChanged, calibrations);
    return ui::runPlacedDialog(dialog, rememberedPosition);
}

} // namespace pelmora
