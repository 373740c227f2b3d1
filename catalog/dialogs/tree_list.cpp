#include "catalog/dialogs/tree_list.h"

#include <QAbstractListModel>
#include <QFontMetrics>
#include <QImage>
#include <QKeyEvent>
#include <QPainter>
#include <QPixmap>
#include <QPolygon>
#include <QStyle>
#include <QStyleOption>
#include <QStyledItemDelegate>
#include <algorithm>
#include <array>
#include <cstring>
#include <utility>

namespace pelmora {

namespace {

constexpr int kIndentPixels = 18; // per depth, and from the indent to the name
constexpr int kIconPixels = 16;

const QColor kOutline(0x30, 0x30, 0x30);
const QColor kFolder(0xf0, 0xc0, 0x40);
const QColor kFolderDark(0xb0, 0x80, 0x10);
const QColor kPaper(0xff, 0xff, 0xff);
const QColor kInk(0x80, 0x80, 0x80);

// Filled rectangle over whole pixels, corners inclusive.
void box(QPainter& p, int x0, int y0, int x1, int y1, const QColor& fill) {
    p.fillRect(x0, y0, x1 - x0 + 1, y1 - y0 + 1, fill);
}

void framedBox(QPainter& p, int x0, int y0, int x1, int y1, const QColor& fill) {
    box(p, x0, y0, x1, y1, kOutline);
    box(p, x0 + 1, y0 + 1, x1 - 1, y1 - 1, fill);
}

// The three line icons, drawn once as 16 x 16 pictures (the program has no icon resources for
// them).
QPixmap drawIcon(TreeIcon icon) {
    QImage image(kIconPixels, kIconPixels, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter p(&image);
    switch (icon) {
    case TreeIcon::ClosedFolder:
        framedBox(p, 1, 3, 7, 5, kFolderDark); // tab
        framedBox(p, 1, 4, 14, 13, kFolder);
        box(p, 2, 5, 13, 5, kFolder.lighter(120));
        break;
    case TreeIcon::OpenFolder: {
        framedBox(p, 1, 3, 7, 5, kFolderDark);
        framedBox(p, 1, 4, 13, 13, kFolderDark); // back of the folder
        p.setRenderHint(QPainter::Antialiasing, false);
        p.setPen(kOutline);
        p.setBrush(kFolder);
        p.drawPolygon(QPolygon({QPoint(1, 13), QPoint(4, 7), QPoint(15, 7), QPoint(12, 13)}));
        break;
    }
    case TreeIcon::File:
        framedBox(p, 3, 1, 12, 14, kPaper);
        box(p, 10, 1, 12, 3, kOutline); // folded corner
        box(p, 10, 2, 11, 3, kPaper.darker(115));
        for (int y = 5; y <= 11; y += 2) {
            box(p, 5, y, 10, y, kInk);
        }
        break;
    }
    p.end();
    return QPixmap::fromImage(image);
}

const QPixmap& iconPixmap(TreeIcon icon) {
    static const std::array<QPixmap, 3> icons = {
        drawIcon(TreeIcon::ClosedFolder), drawIcon(TreeIcon::OpenFolder), drawIcon(TreeIcon::File)};
    return icons[static_cast<std::size_t>(icon)];
}

} // namespace

TreeIcon treeIconFor(const FileEntry& entry, TreeListKind kind) {
    if (entry.hasChild == 1) {
        return entry.open == 1 ? TreeIcon::OpenFolder : TreeIcon::ClosedFolder;
    }
    if (kind == TreeListKind::Everything) {
        return std::strcmp(entry.sizeText, "[dir]") == 0 ? TreeIcon::ClosedFolder : TreeIcon::File;
    }
    return TreeIcon::ClosedFolder; // Subdirectory Selection lists folders only
}

// The lines as a list model: one row per line, the entry's name as its text (so that typing
// a name's first letters finds the line).
class TreeListModel : public QAbstractListModel {
public:
    explicit TreeListModel(TreeList* list) : QAbstractListModel(list), list_(list) {}

    int rowCount(const QModelIndex& parent = QModelIndex()) const override {
        return parent.isValid() ? 0 : list_->count();
    }

    QVariant data(const QModelIndex& index, int role) const override {
        if (!index.isValid() || index.row() >= list_->count()) {
            return {};
        }
        if (role == Qt::DisplayRole || role == Qt::AccessibleTextRole) {
            const FileEntry& entry = list_->line(index.row()).entry();
            return QString::fromUtf8(entry.name,
                                     static_cast<qsizetype>(strnlen(entry.name, kNameCapacity)));
        }
        return {};
    }

    void beginReset() { beginResetModel(); }
    void endReset() { endResetModel(); }
    void beginInsert(int first, int last) { beginInsertRows(QModelIndex(), first, last); }
    void endInsert() { endInsertRows(); }
    void beginRemove(int first, int last) { beginRemoveRows(QModelIndex(), first, last); }
    void endRemove() { endRemoveRows(); }
    bool beginMove(int first, int last, int destination) {
        return beginMoveRows(QModelIndex(), first, last, QModelIndex(), destination);
    }
    void endMove() { endMoveRows(); }
    void changed(int row) {
        const QModelIndex at = index(row);
        emit dataChanged(at, at);
    }

private:
    TreeList* list_;
};

namespace {

// Draws a line: white (or the highlight when selected), indent, icon at the line's top-left,
// the name and one blank 18 pixels right of the indent, vertically centred, no '&' prefixes;
// a focus rectangle on the focused line.
class TreeLineDelegate : public QStyledItemDelegate {
public:
    explicit TreeLineDelegate(TreeList* list) : QStyledItemDelegate(list), list_(list) {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        if (!index.isValid() || index.row() >= list_->count()) {
            return;
        }
        const TreeLine& line = list_->line(index.row());
        const FileEntry& entry = line.entry();
        const QRect rect = option.rect;
        const bool selected = (option.state & QStyle::State_Selected) != 0;

        painter->save();
        painter->setClipRect(rect);
        painter->fillRect(rect, selected
                                    ? option.palette.color(QPalette::Active, QPalette::Highlight)
                                    : QColor(Qt::white));
        const int indent = rect.left() + kIndentPixels * line.depth;
        painter->drawPixmap(QPoint(indent, rect.top()),
                            iconPixmap(treeIconFor(entry, list_->kind())));
        painter->setFont(list_->font());
        painter->setPen(selected ? option.palette.color(QPalette::Active, QPalette::HighlightedText)
                                 : QColor(Qt::black));
        const QRect textRect(indent + kIndentPixels, rect.top(),
                             std::max(0, rect.right() - indent - kIndentPixels + 1), rect.height());
        const QString name = QString::fromUtf8(
            entry.name, static_cast<qsizetype>(strnlen(entry.name, kNameCapacity)));
        painter->drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                          name + QLatin1Char(' '));
        if (option.state & QStyle::State_HasFocus) {
            QStyleOptionFocusRect focus;
            focus.initFrom(list_);
            focus.rect = rect;
            focus.state = option.state | QStyle::State_KeyboardFocusChange;
            focus.backgroundColor =
                selected ? option.palette.color(QPalette::Active, QPalette::Highlight)
                         : QColor(Qt::white);
            list_->style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, painter, list_);
        }
        painter->restore();
    }

    QSize sizeHint(const QStyleOptionViewItem&, const QModelIndex&) const override {
        return QSize(kIndentPixels * 2, list_->lineHeight());
    }

private:
    TreeList* list_;
};

} // namespace

TreeList::TreeList(TreeListKind kind, QWidget* parent)
    : QListView(parent), kind_(kind), model_(new TreeListModel(this)) {
    QFont font(QStringLiteral("Arial"));
    font.setPointSize(10);
    setFont(font);
    lineHeight_ = std::max(1, QFontMetrics(font, this).height());

    setModel(model_);
    setItemDelegate(new TreeLineDelegate(this));
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setUniformItemSizes(true);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    QPalette colours = palette();
    colours.setColor(QPalette::Base, Qt::white);
    setPalette(colours);

    connect(this, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex& index) {
        if (index.isValid() && index.row() < count()) {
            emit lineActivated(index.row());
        }
    });
}

TreeList::~TreeList() = default;

void TreeList::appendLines(std::vector<TreeLine>& out, VAROINFO& node, std::int32_t depth) const {
    for (std::size_t i = 0; i < node.entries.size(); ++i) {
        FileEntry& entry = node.entries[i];
        if (kind_ == TreeListKind::Folders && !(entry.hasChild == 1 && entry.child)) {
            continue;
        }
        out.push_back(TreeLine{&node, static_cast<std::int32_t>(i), depth});
        if (entry.child && entry.open == 1) {
            appendLines(out, *entry.child, depth + 1);
        }
    }
}

void TreeList::fill(VAROINFO& root) {
    model_->beginReset();
    lines_.clear();
    appendLines(lines_, root, 0);
    model_->endReset();
    setCurrentRow(lines_.empty() ? -1 : 0);
}

int TreeList::currentRow() const {
    const QModelIndex index = currentIndex();
    if (!index.isValid() || index.row() >= count() || !selectionModel() ||
        !selectionModel()->isSelected(index)) {
        return -1;
    }
    return index.row();
}

void TreeList::setCurrentRow(int row) {
    if (row < 0 || row >= count()) {
        selectionModel()->clear();
        return;
    }
    const QModelIndex index = model_->index(row);
    selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
    scrollTo(index);
}

int TreeList::rowOf(const VAROINFO* node, std::int32_t index) const {
    for (std::size_t row = 0; row < lines_.size(); ++row) {
        if (lines_[row].node == node && lines_[row].index == index) {
            return static_cast<int>(row);
        }
    }
    return -1;
}

int TreeList::subtreeEnd(int row) const {
    const std::int32_t depth = line(row).depth;
    int end = row + 1;
    while (end < count() && line(end).depth > depth) {
        ++end;
    }
    return end;
}

void TreeList::toggle(int row) {
    if (row < 0 || row >= count()) {
        return;
    }
    const TreeLine at = line(row);
    FileEntry& entry = at.entry();
    if (!entry.child) {
        return;
    }
    if (entry.open == 1) {
        const int end = subtreeEnd(row);
        if (end > row + 1) {
            model_->beginRemove(row + 1, end - 1);
            lines_.erase(lines_.begin() + row + 1, lines_.begin() + end);
            model_->endRemove();
        }
        entry.open = 0;
    } else {
        entry.open = 1;
        std::vector<TreeLine> added;
        appendLines(added, *entry.child, at.depth + 1);
        if (!added.empty()) {
            model_->beginInsert(row + 1, row + static_cast<int>(added.size()));
            lines_.insert(lines_.begin() + row + 1, added.begin(), added.end());
            model_->endInsert();
        }
    }
    model_->changed(row);
}

void TreeList::removeEntry(int row) {
    if (row < 0 || row >= count()) {
        return;
    }
    const TreeLine at = line(row);
    // The lines go first: none may be left naming the entry or a node below it.
    const int end = subtreeEnd(row);
    model_->beginRemove(row, end - 1);
    lines_.erase(lines_.begin() + row, lines_.begin() + end);
    model_->endRemove();

    // Erasing the entry releases its child node and everything below it.
    at.node->entries.erase(at.node->entries.begin() + at.index);
    for (std::size_t r = static_cast<std::size_t>(row); r < lines_.size(); ++r) {
        if (lines_[r].node == at.node && lines_[r].index > at.index) {
            --lines_[r].index;
        }
    }
    setCurrentRow(std::min(row, count() - 1));
}

int TreeList::exchange(int first, int second) {
    const int secondEnd = subtreeEnd(second);
    VAROINFO* node = line(first).node;
    const std::int32_t i = line(second).index;
    std::swap(node->entries[static_cast<std::size_t>(i - 1)],
              node->entries[static_cast<std::size_t>(i)]);
    lines_[static_cast<std::size_t>(first)].index = i;
    lines_[static_cast<std::size_t>(second)].index = i - 1;
    model_->beginMove(second, secondEnd - 1, first);
    std::rotate(lines_.begin() + first, lines_.begin() + second, lines_.begin() + secondEnd);
    model_->endMove();
    return first + (secondEnd - second);
}

bool TreeList::moveUp(int row) {
    if (row < 0 || row >= count()) {
        return false;
    }
    const TreeLine at = line(row);
    if (at.index <= 0) {
        return false;
    }
    int previous = row - 1;
    while (previous >= 0 &&
           !(line(previous).node == at.node && line(previous).index == at.index - 1)) {
        --previous;
    }
    if (previous < 0 || subtreeEnd(previous) != row) {
        return false; // the previous entry is not listed (Subdirectory Selection)
    }
    exchange(previous, row);
    setCurrentRow(previous);
    return true;
}

bool TreeList::moveDown(int row) {
    if (row < 0 || row >= count()) {
        return false;
    }
    const TreeLine at = line(row);
    if (at.index + 1 >= at.node->entryCount()) {
        return false;
    }
    const int next = subtreeEnd(row);
    if (next >= count() || line(next).node != at.node || line(next).index != at.index + 1) {
        return false;
    }
    setCurrentRow(exchange(row, next));
    return true;
}

int TreeList::insertEntry(int row, VAROINFO& root, FileEntry entry) {
    VAROINFO* node = &root;
    std::int32_t index = 0;
    std::int32_t depth = 0;
    int lineRow = 0;
    if (row >= 0 && row < count()) {
        node = line(row).node;
        index = line(row).index;
        depth = line(row).depth;
        lineRow = row;
    }
    node->entries.insert(node->entries.begin() + index, std::move(entry));
    for (std::size_t r = static_cast<std::size_t>(lineRow); r < lines_.size(); ++r) {
        if (lines_[r].node == node && lines_[r].index >= index) {
            ++lines_[r].index;
        }
    }
    model_->beginInsert(lineRow, lineRow);
    lines_.insert(lines_.begin() + lineRow, TreeLine{node, index, depth});
    model_->endInsert();
    setCurrentRow(lineRow);
    return lineRow;
}

void TreeList::refreshLine(int row) {
    if (row >= 0 && row < count()) {
        model_->changed(row);
    }
}

void TreeList::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space: {
        event->accept();
        const int row = currentRow();
        if (row >= 0) {
            emit lineActivated(row);
        }
        return;
    }
    case Qt::Key_Delete:
    case Qt::Key_Backspace: {
        event->accept();
        const int row = currentRow();
        if (row >= 0) {
            emit deletePressed(row);
        }
        return;
    }
    default:
        QListView::keyPressEvent(event);
    }
}

} // namespace pelmora
