#include "render/dialogs/fonts_colors_dialog.h"

#include "platform/gdi/device_context.h"
#include "platform/gdi/devices.h"
#include "platform/gdi/gdi_types.h"
#include "platform/ui/dialog_units.h"
#include "platform/ui/dialogs.h"

#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <memory>
#include <optional>
#include <string>
#include <utility>

namespace pelmora {

namespace {

constexpr std::size_t kAddTextLimit = 256;

// The four elements in list order: name, font and colour of the label.
struct Element {
    const char* name;
    LOGFONTA VAROINFO::*font;
    COLORREF VAROINFO::*color;
};
constexpr Element kElements[] = {
    {"Files", &VAROINFO::fileFont, &VAROINFO::fileColor},
    {"Folders", &VAROINFO::folderFont, &VAROINFO::folderColor},
    {"Comment", &VAROINFO::commentFont, &VAROINFO::commentColor},
    {"Spine", &VAROINFO::spineFont, &VAROINFO::spineColor},
};
static_assert(std::size(kElements) == FontsColorsDialog::kElementEntries);

// The label's styles in the list's shape: the elements under their names, then its extension
// styles.
std::vector<ExtensionStyle> entriesOf(const VAROINFO& label) {
    std::vector<ExtensionStyle> entries;
    for (const Element& element : kElements) {
        ExtensionStyle& entry = entries.emplace_back();
        copyTruncatedUtf8(entry.extension, element.name);
        entry.font = label.*element.font;
        entry.color = label.*element.color;
    }
    entries.insert(entries.end(), label.extStyles.begin(), label.extStyles.end());
    return entries;
}

void writeEntries(const std::vector<ExtensionStyle>& entries, VAROINFO& label) {
    for (std::size_t i = 0; i < std::size(kElements); ++i) {
        label.*kElements[i].font = entries[i].font;
        label.*kElements[i].color = entries[i].color;
    }
    label.extStyles.assign(entries.begin() + FontsColorsDialog::kElementEntries, entries.end());
    // The display lines hold indexes into the replaced styles.
    label.layoutValid = 0;
}

// An entry is as tall as its font plus a margin; a font without a height gets a standard row.
int entryHeight(const ExtensionStyle& entry) {
    return entry.font.lfHeight == 0 ? 20 : std::abs(entry.font.lfHeight) + 4;
}

// Pale colours (every component above 220) are drawn on black, so they stay legible.
bool isPale(COLORREF color) {
    return GetRValue(color) > 220 && GetGValue(color) > 220 && GetBValue(color) > 220;
}

// The Add text as an extension: one leading '.' dropped, at most 7 bytes (never half a UTF-8
// character), ASCII letters upper-cased as extension styles are compared.
std::string extensionFromText(const QString& text) {
    QString name = text.left(static_cast<qsizetype>(kAddTextLimit));
    if (name.startsWith(QLatin1Char('.'))) {
        name.remove(0, 1);
    }
    char extension[kExtensionCapacity] = {};
    copyTruncatedUtf8(extension, name.toUtf8().constData());
    for (char& c : extension) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
    return extension;
}

// One entry: its name centred in its own font and colour over white (black for pale colours),
// with a dotted focus frame when selected. Painted through the device-context layer like the
// label, so the list shows the fonts as the label draws them.
void drawEntry(QPainter& painter, const QRect& box, const ExtensionStyle& entry, bool selected) {
    auto dc = gdi::createPainterDC(painter, gdi::displayCaps());
    const bool pale = isPale(entry.color);
    const COLORREF back = pale ? RGB(0, 0, 0) : RGB(255, 255, 255);
    const int left = box.left();
    const int top = box.top();
    const int right = box.right() + 1;
    const int bottom = box.bottom() + 1;
    dc->SelectObject(gdi::GetStockPen(pale ? gdi::BLACK_PEN : gdi::WHITE_PEN));
    dc->SelectObject(gdi::GetStockBrush(pale ? gdi::BLACK_BRUSH : gdi::WHITE_BRUSH));
    dc->Rectangle(left, top, right, bottom);

    // The list shows every entry upright, whatever direction its font gives the text.
    LOGFONTA font = entry.font;
    font.lfEscapement = 0;
    font.lfOrientation = 0;
    dc->SelectObject(gdi::CreateFontIndirect(font));
    dc->SetTextColor(entry.color);
    dc->SetBkColor(back);
    dc->SetBkMode(gdi::TRANSPARENT);
    const std::string_view name(entry.extension, strnlen(entry.extension, kExtensionCapacity));
    SIZE extent{};
    dc->GetTextExtentPoint32(name, &extent);
    dc->TextOut(left + (right - left - extent.cx) / 2, top + (bottom - top - extent.cy) / 2, name);

    if (selected) {
        dc->SelectObject(gdi::CreatePen(gdi::PS_DOT, 0, pale ? RGB(255, 255, 255) : RGB(0, 0, 0)));
        dc->SelectObject(gdi::GetStockBrush(gdi::NULL_BRUSH));
        dc->Rectangle(left, top, right, bottom);
    }
}

class EntryDelegate : public QStyledItemDelegate {
public:
    EntryDelegate(const std::vector<ExtensionStyle>& entries, QObject* parent)
        : QStyledItemDelegate(parent), entries_(entries) {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        const auto row = static_cast<std::size_t>(index.row());
        if (row < entries_.size()) {
            drawEntry(*painter, option.rect, entries_[row], option.state & QStyle::State_Selected);
        }
    }

private:
    const std::vector<ExtensionStyle>& entries_;
};

} // namespace

int ChooseElementColor(QWidget* owner, COLORREF& color, const ChooserMemory& memory,
                       const std::function<void()>& applied) {
    const COLORREF opening = color;
    std::function<void(COLORREF)> apply;
    if (applied) {
        apply = [&](COLORREF chosen) {
            color = chosen;
            applied();
        };
    }
    const std::optional<COLORREF> chosen =
        ui::chooseColor(owner, "Color", color, memory.customColors, apply, &memory.colorPosition);
    color = chosen.value_or(opening);
    return chosen ? 1 : 0;
}

int ChooseElementFont(QWidget* owner, LOGFONTA& font, COLORREF color, const ChooserMemory& memory,
                      const std::function<void()>& applied) {
    const LOGFONTA opening = font;
    std::function<void(const ui::FontChoice&)> apply;
    if (applied) {
        apply = [&](const ui::FontChoice& choice) {
            font = choice.font;
            applied();
        };
    }
    const std::optional<ui::FontChoice> chosen =
        ui::chooseFont(owner, "Font", font, color, apply, &memory.fontPosition);
    font = chosen ? chosen->font : opening;
    return chosen ? 1 : 0;
}

FontsColorsDialog::FontsColorsDialog(QWidget* owner, VAROINFO& label, const ChooserMemory& memory,
                                     std::function<void()> labelChanged)
    : QDialog(owner), label_(label), memory_(memory), labelChanged_(std::move(labelChanged)),
      opening_(entriesOf(label)), entries_(opening_) {
    setObjectName(QStringLiteral("fontsColorsDialog"));
    setWindowTitle(QStringLiteral("Fonts And Colors"));
    setFixedSize(ui::dluSize(238, 160));

    // Child widgets and the delegate belong to the dialog (Qt parent ownership).
    list_ = new QListWidget(this);
    list_->setObjectName(QStringLiteral("styleList"));
    list_->setGeometry(ui::dluRect(7, 7, 150, 122));
    list_->setItemDelegate(new EntryDelegate(entries_, list_));
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    for (const ExtensionStyle& entry : entries_) {
        list_->addItem(QString::fromUtf8(entry.extension));
    }
    sizeEntries();

    extension_ = new QLineEdit(this);
    extension_->setObjectName(QStringLiteral("extensionEdit"));
    extension_->setMaxLength(static_cast<int>(kAddTextLimit));
    extension_->setGeometry(ui::dluRect(7, 137, 94, 12));
    add_ = new QPushButton(QStringLiteral("&Add"), this);
    add_->setObjectName(QStringLiteral("addButton"));
    add_->setGeometry(ui::dluRect(105, 136, 52, 14));
    add_->setEnabled(hasRoomForExtension());

    const auto button = [this](const char* text, const char* name, int y) {
        auto* pushButton = new QPushButton(QString::fromLatin1(text), this);
        pushButton->setObjectName(QString::fromLatin1(name));
        pushButton->setGeometry(ui::dluRect(166, y, 65, 14));
        return pushButton;
    };
    QPushButton* ok = button("&OK", "okButton", 7);
    ok->setDefault(true);
    QPushButton* cancel = button("&Cancel", "cancelButton", 24);
    color_ = button("Co&lor", "colorButton", 48);
    font_ = button("&Font", "fontButton", 65);
    QPushButton* copyFiles = button("Co&py From Files", "copyFromFilesButton", 89);
    QPushButton* copyFolders = button("Cop&y From Folders", "copyFromFoldersButton", 106);
    remove_ = button("&Remove", "removeButton", 136);

    QWidget* const tabOrder[] = {list_,  extension_, add_,      ok,          cancel,
                                 color_, font_,      copyFiles, copyFolders, remove_};
    for (std::size_t i = 1; i < std::size(tabOrder); ++i) {
        setTabOrder(tabOrder[i - 1], tabOrder[i]);
    }

    connect(list_, &QListWidget::itemSelectionChanged, this, [this] { showSelection(); });
    connect(list_, &QListWidget::itemDoubleClicked, this, [this] { chooseColor(); });
    connect(add_, &QPushButton::clicked, this, [this] { addExtension(); });
    connect(color_, &QPushButton::clicked, this, [this] { chooseColor(); });
    connect(font_, &QPushButton::clicked, this, [this] { chooseFont(); });
    connect(copyFiles, &QPushButton::clicked, this, [this] { copyFrom(kFilesEntry); });
    connect(copyFolders, &QPushButton::clicked, this, [this] { copyFrom(kFoldersEntry); });
    connect(remove_, &QPushButton::clicked, this, [this] { removeEntry(); });
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    list_->setCurrentRow(kFilesEntry);
    showSelection();
    list_->setFocus();
}

int FontsColorsDialog::selectedEntry() const {
    const QList<QListWidgetItem*> selected = list_->selectedItems();
    return selected.isEmpty() ? -1 : list_->row(selected.front());
}

void FontsColorsDialog::showSelection() {
    const int entry = selectedEntry();
    color_->setEnabled(entry >= 0);
    font_->setEnabled(entry >= 0);
    // The element entries always stay; only extension styles can go.
    remove_->setEnabled(entry >= kElementEntries);
}

void FontsColorsDialog::sizeEntries() {
    for (int row = 0; row < list_->count(); ++row) {
        const ExtensionStyle& entry = entries_[static_cast<std::size_t>(row)];
        list_->item(row)->setSizeHint(QSize(list_->viewport()->width(), entryHeight(entry)));
    }
    list_->viewport()->update();
}

void FontsColorsDialog::applyCommand() {
    sizeEntries();
    writeEntries(entries_, label_);
    if (labelChanged_) {
        labelChanged_();
    }
}

bool FontsColorsDialog::hasRoomForExtension() const {
    return entries_.size() < kElementEntries + kMaxExtensionStyles;
}

void FontsColorsDialog::addExtension() {
    const std::string name = extensionFromText(extension_->text());
    if (name.empty() || !hasRoomForExtension()) {
        return;
    }
    ExtensionStyle& entry = entries_.emplace_back();
    copyTruncatedUtf8(entry.extension, name.c_str());
    entry.color = label_.fileColor;
    entry.font = label_.fileFont;
    list_->addItem(QString::fromUtf8(entry.extension));
    sizeEntries();
    list_->setCurrentRow(list_->count() - 1);
    extension_->clear();
    add_->setEnabled(hasRoomForExtension());
    chooseColor();
}

void FontsColorsDialog::chooseColor() {
    const int entry = selectedEntry();
    if (entry < 0) {
        return;
    }
    ChooseElementColor(this, entries_[static_cast<std::size_t>(entry)].color, memory_,
                       [this] { applyCommand(); });
    applyCommand();
}

void FontsColorsDialog::chooseFont() {
    const int entry = selectedEntry();
    if (entry < 0) {
        return;
    }
    ExtensionStyle& style = entries_[static_cast<std::size_t>(entry)];
    ChooseElementFont(list_, style.font, style.color, memory_, [this] { applyCommand(); });
    applyCommand();
}

void FontsColorsDialog::copyFrom(int source) {
    const int entry = selectedEntry();
    if (entry < 0) {
        return;
    }
    ExtensionStyle& target = entries_[static_cast<std::size_t>(entry)];
    const ExtensionStyle& from = entries_[static_cast<std::size_t>(source)];
    target.font = from.font;
    target.color = from.color;
    applyCommand();
}

void FontsColorsDialog::removeEntry() {
    const int entry = selectedEntry();
    if (entry < kElementEntries) {
        return;
    }
    entries_.erase(entries_.begin() + entry);
    // A taken item is no longer the list's; it goes with this scope.
    std::unique_ptr<QListWidgetItem> taken(list_->takeItem(entry));
    add_->setEnabled(hasRoomForExtension());
    list_->clearSelection();
    list_->setCurrentItem(nullptr);
    showSelection();
    list_->viewport()->update();
}

void FontsColorsDialog::accept() {
    writeEntries(entries_, label_);
    QDialog::accept();
}

void FontsColorsDialog::reject() {
    writeEntries(opening_, label_);
    QDialog::reject();
}

int FontsAndColors(QWidget* owner, VAROINFO& label, const ChooserMemory& memory, POINT& position,
                   const std::function<void()>& labelChanged) {
    FontsColorsDialog dialog(owner, label, memory, labelChanged);
    ui::placeDialog(dialog, position);
    const int result = ui::runDialog(dialog);
    if (result == QDialog::Accepted) {
        ui::rememberDialogPosition(dialog, position);
    }
    return result == QDialog::Accepted ? 1 : 0;
}

} // namespace pelmora
