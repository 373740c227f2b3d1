#include "library/regex_filter.h"

#include <QRegularExpression>
#include <QString>
#include <memory>

namespace pelmora::library {

RegexFilter makeRegexFilter(const std::string& pattern) {
    RegexFilter filter;
    auto expression = std::make_shared<QRegularExpression>(
        QString::fromStdString(pattern), QRegularExpression::CaseInsensitiveOption);
    if (!expression->isValid()) {
        filter.error = expression->errorString().toStdString();
        filter.offset =
            static_cast<std::size_t>(std::max<qsizetype>(0, expression->patternErrorOffset()));
        return filter;
    }
    expression->optimize();
    filter.matches = [expression](std::string_view name) {
        return expression
            ->match(QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size())))
            .hasMatch();
    };
    return filter;
}

} // namespace pelmora::library
