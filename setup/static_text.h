#pragma once
// A static text control placed at a fixed rectangle, as Setup's dialogs lay them out.

#include <QLabel>
#include <QRect>
#include <QString>

namespace pelmora {

inline QLabel* staticText(const QString& text, const QRect& rect, QWidget* parent,
                          const char* name = nullptr) {
    auto* label = new QLabel(text, parent); // owned by `parent`
    label->setGeometry(rect);
    if (name != nullptr) {
        label->setObjectName(QString::fromLatin1(name));
    }
    return label;
}

} // namespace pelmora
