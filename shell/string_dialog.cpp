#include "shell/string_dialog.h"

#include "platform/core/wintypes.h"
#include "platform/ui/dialog_units.h"
#include "platform/ui/dialogs.h"
#include "shell/object_editing.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <algorithm>
#include <cstring>
#include <iterator>
#include <utility>

namespace pelmora {
namespace {

QLabel* caption(const QString& text, const QRect& rect, QWidget* buddy, const char* name,
                QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setGeometry(rect);
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    label->setBuddy(buddy);
    return label;
}

QComboBox* dropDown(const QStringList& items, const QRect& rect, const char* name,
                    QWidget* parent) {
    auto* list = new QComboBox(parent);
    list->setObjectName(QString::fromLatin1(name));
    list->addItems(items);
    list->setGeometry(rect);
    return list;
}

QPushButton* button(const QString& text, const QRect& rect, const char* name, QWidget* parent) {
    auto* push = new QPushButton(text, parent);
    push->setObjectName(QString::fromLatin1(name));
    push->setGeometry(rect);
    push->setAutoDefault(false);
    return push;
}

// The record keeps CR LF line breaks; the edit shows plain line feeds.
QString editableText(const PlacedObject& object) {
    QString text = QString::fromUtf8(
        object.text, static_cast<qsizetype>(strnlen(object.text, sizeof object.text)));
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return text;
}

} // namespace

std::string storedStringText(const QString& edited) {
    const QByteArray utf8 = edited.toUtf8();
    std::string text;
    text.reserve(static_cast<std::size_t>(utf8.size()));
    for (const char c : utf8) {
        if (c == '\n') {
            text += "\r\n";
        } else if (c != '\0') {
            text += c;
        }
    }
    // Cut to the record's capacity on a character boundary, never between CR and LF.
    if (text.size() >= kObjectTextCapacity) {
        char cut[kObjectTextCapacity];
        copyTruncatedUtf8(cut, sizeof cut, text.data(), text.size());
        text = cut;
        if (!text.empty() && text.back() == '\r') {
            text.pop_back();
        }
    }
    while (!text.empty() && text.back() == '\n') {
        text.erase(text.size() - std::min<std::size_t>(2, text.size()));
    }
    while (text.starts_with("\r\n")) {
        text.erase(0, 2);
    }
    return text.empty() ? std::string(" ") : text;
}

StringEntryDialog::StringEntryDialog(QWidget* owner, VAROINFO& label, ProgramSettings& settings,
                                     std::function<void()> applied)
    : QDialog(owner), label_(label), settings_(settings), applied_(std::move(applied)),
      original_(label.objects.front()) {
    setObjectName(QStringLiteral("stringEntryDialog"));
    setWindowTitle(QStringLiteral("String Entry and Modification"));
    setFixedSize(ui::dluSize(272, 100));

    // Child widgets belong to the dialog (Qt parent ownership).
    text_ = new QPlainTextEdit(this);
    text_->setObjectName(QStringLiteral("stringText"));
    text_->setGeometry(ui::dluRect(5, 5, 200, 55));
    text_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    text_->setTabChangesFocus(true);

    horizontal_ =
        dropDown({QStringLiteral("Left"), QStringLiteral("Center"), QStringLiteral("Right")},
                 ui::dluRect(52, 62, 48, 12), "horizontalAlign", this);
    caption(QStringLiteral("&Horizontal:"), ui::dluRect(8, 64, 41, 8), horizontal_,
            "horizontalCaption", this);
    vertical_ =
        dropDown({QStringLiteral("Top"), QStringLiteral("Center"), QStringLiteral("Bottom")},
                 ui::dluRect(145, 62, 48, 12), "verticalAlign", this);
    caption(QStringLiteral("&Vertical:"), ui::dluRect(108, 64, 35, 8), vertical_, "verticalCaption",
            this);

    auto* font =
        button(QStringLiteral("Select &Font"), ui::dluRect(7, 79, 50, 14), "fontButton", this);
    auto* color =
        button(QStringLiteral("Colo&r"), ui::dluRect(62, 79, 40, 14), "colorButton", this);
    auto* background = button(QStringLiteral("&Background"), ui::dluRect(107, 79, 55, 14),
                              "backgroundButton", this);
    orientation_ = dropDown({QStringLiteral("0°"), QStringLiteral("90°"), QStringLiteral("180°"),
                             QStringLiteral("270°")},
                            ui::dluRect(172, 80, 40, 12), "orientation", this);
    autoSize_ = new QCheckBox(QStringLiteral("A&uto Size"), this);
    autoSize_->setObjectName(QStringLiteral("autoSize"));
    autoSize_->setGeometry(ui::dluRect(217, 81, 48, 10));

    auto* ok = button(QStringLiteral("&OK"), ui::dluRect(215, 7, 50, 14), "okButton", this);
    ok->setDefault(true);
    auto* cancel =
        button(QStringLiteral("&Cancel"), ui::dluRect(215, 24, 50, 14), "cancelButton", this);
    auto* applyButton =
        button(QStringLiteral("&Apply"), ui::dluRect(215, 41, 50, 14), "applyButton", this);
    auto* defaults =
        button(QStringLiteral("&Default"), ui::dluRect(215, 59, 50, 14), "defaultButton", this);

    QWidget* const tabOrder[] = {text_, horizontal_, vertical_,    font,
                                 color, background,  orientation_, autoSize_,
                                 ok,    cancel,      applyButton,  defaults};
    for (std::size_t i = 1; i < std::size(tabOrder); ++i) {
        setTabOrder(tabOrder[i - 1], tabOrder[i]);
    }

    // Every control first notes where the dialog stands, so its place is kept even while a
    // chooser opened from it is up.
    for (QPushButton* push : {font, color, background, ok, cancel, applyButton, defaults}) {
        connect(push, &QPushButton::pressed, this, [this] { rememberPosition(); });
    }
    for (QComboBox* list : {horizontal_, vertical_, orientation_}) {
        connect(list, &QComboBox::activated, this, [this] { rememberPosition(); });
    }
    connect(autoSize_, &QCheckBox::clicked, this, [this] { rememberPosition(); });
    connect(font, &QPushButton::clicked, this, [this] { chooseFont(); });
    connect(color, &QPushButton::clicked, this, [this] { chooseTextColor(); });
    connect(background, &QPushButton::clicked, this, [this] { chooseBackground(); });
    connect(applyButton, &QPushButton::clicked, this, [this] { apply(); });
    connect(defaults, &QPushButton::clicked, this, [this] { restoreDefaults(); });
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    text_->setPlainText(editableText(object()));
    showStyle();
    text_->setFocus();
    text_->selectAll();
}

void StringEntryDialog::showStyle() {
    const PlacedObject& string = object();
    horizontal_->setCurrentIndex(std::clamp(string.hAlign, 0, 2));
    vertical_->setCurrentIndex(std::clamp(string.vAlign, 0, 2));
    orientation_->setCurrentIndex(std::clamp(string.orientation / 90, 0, 3));
    autoSize_->setChecked(string.autoSize != 0);
}

void StringEntryDialog::readControls() {
    PlacedObject& string = object();
    const std::string text = storedStringText(text_->toPlainText());
    copyTruncatedUtf8(string.text, sizeof string.text, text.data(), text.size());
    string.orientation = orientation_->currentIndex() * 90;
    string.autoSize = autoSize_->isChecked() ? 1 : 0;
    string.hAlign = horizontal_->currentIndex();
    string.vAlign = vertical_->currentIndex();
}

void StringEntryDialog::apply() {
    readControls();
    if (applied_) {
        applied_();
    }
}

void StringEntryDialog::chooseTextColor() {
    const COLORREF before = object().textColor;
    const auto chosen = ui::chooseColor(
        this, "Color", before, settings_.customColors,
        [this](COLORREF colour) {
            object().textColor = colour;
            apply();
        },
        &settings_.position(WindowName::Color));
    object().textColor = chosen.value_or(before);
    if (applied_) {
        applied_();
    }
}

void StringEntryDialog::chooseBackground() {
    object().opaque = 1;
    const COLORREF before = object().backColor;
    const auto chosen = ui::chooseColor(
        this, "Color", before, settings_.customColors,
        [this](COLORREF colour) {
            object().backColor = colour;
            apply();
        },
        &settings_.position(WindowName::Color));
    object().backColor = chosen.value_or(before);
    if (applied_) {
        applied_();
    }
}

void StringEntryDialog::chooseFont() {
    const LOGFONTA before = object().font;
    const auto chosen = ui::chooseFont(
        this, "Font", before, object().textColor,
        [this](const ui::FontChoice& choice) {
            object().font = choice.font;
            apply();
        },
        &settings_.position(WindowName::Font));
    object().font = chosen ? chosen->font : before;
    if (applied_) {
        applied_();
    }
}

void StringEntryDialog::restoreDefaults() {
    ApplyDefaultStringStyle(label_, object());
    showStyle();
    apply();
}

void StringEntryDialog::rememberPosition() {
    ui::rememberDialogPosition(*this, settings_.position(WindowName::String));
}

void StringEntryDialog::accept() {
    readControls();
    QDialog::accept();
}

void StringEntryDialog::reject() {
    object() = original_;
    QDialog::reject();
}

int StringEntry(QWidget* owner, VAROINFO& label, ProgramSettings& settings,
                const std::function<void()>& applied) {
    if (label.objects.empty()) {
        return 0;
    }
    POINT& position = settings.position(WindowName::String);
    StringEntryDialog dialog(owner, label, settings, applied);
    return ui::runPlacedDialog(dialog, position);
}

} // namespace pelmora
