#include "storage/line_io.h"

#include "platform/core/wintypes.h"

#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>
#include <utility>

namespace pelmora {
namespace {

bool isSpace(std::uint8_t c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

bool isDigit(std::uint8_t c) {
    return c >= '0' && c <= '9';
}

} // namespace

LineReader::LineReader(std::span<const std::uint8_t> bytes, LineEnds ends)
    : bytes_(bytes), ends_(ends) {}

LineReader::LineReader(std::string_view bytes, LineEnds ends)
    : bytes_(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()), ends_(ends) {}

void LineReader::fail(std::string reason) {
    if (!failed_) {
        failed_ = true;
        failure_ = std::move(reason);
        failureOffset_ = pos_;
    }
}

void LineReader::skipSpace() {
    while (pos_ < bytes_.size() && isSpace(bytes_[pos_])) {
        ++pos_;
    }
}

// In CrLf mode a CR directly before an LF belongs to the line end.
bool LineReader::lineEndAt(std::size_t pos, std::size_t& length) const {
    if (bytes_[pos] == '\n') {
        length = 1;
        return true;
    }
    if (ends_ == LineEnds::CrLf && bytes_[pos] == '\r' && pos + 1 < bytes_.size() &&
        bytes_[pos + 1] == '\n') {
        length = 2;
        return true;
    }
    return false;
}

void LineReader::skipToNextLine() {
    while (pos_ < bytes_.size() && isSpace(bytes_[pos_]) && bytes_[pos_] != '\n') {
        ++pos_;
    }
    if (pos_ < bytes_.size() && bytes_[pos_] == '\n') {
        ++pos_;
    }
    while (pos_ < bytes_.size() && (bytes_[pos_] == ' ' || bytes_[pos_] == '\t')) {
        ++pos_;
    }
}

bool LineReader::readNumber(std::int64_t& value) {
    return readNumber(value, SpaceAfter::All);
}

bool LineReader::readNumberEndingLine(std::int64_t& value) {
    return readNumber(value, SpaceAfter::ToNextLine);
}

bool LineReader::readNumber(std::int64_t& value, SpaceAfter after) {
    if (failed_) {
        return false;
    }
    skipSpace();
    std::size_t p = pos_;
    bool negative = false;
    if (p < bytes_.size() && (bytes_[p] == '-' || bytes_[p] == '+')) {
        negative = bytes_[p] == '-';
        ++p;
    }
    const std::size_t digitsAt = p;
    std::uint64_t magnitude = 0;
    constexpr std::uint64_t kLimit = std::uint64_t{1} << 63; // |INT64_MIN|
    while (p < bytes_.size() && isDigit(bytes_[p])) {
        const std::uint64_t digit = bytes_[p] - '0';
        if (magnitude > (kLimit - digit) / 10) {
            fail("number out of range");
            return false;
        }
        magnitude = magnitude * 10 + digit;
        ++p;
    }
    if (p == digitsAt) {
        fail(p >= bytes_.size() ? "end of data where a number was expected"
                                : "no number where one was expected");
        return false;
    }
    if (!negative && magnitude == kLimit) {
        fail("number out of range");
        return false;
    }
    value =
        negative ? static_cast<std::int64_t>(0 - magnitude) : static_cast<std::int64_t>(magnitude);
    pos_ = p;
    if (after == SpaceAfter::All) {
        skipSpace();
    } else {
        skipToNextLine();
    }
    return true;
}

bool LineReader::readInt32(std::int32_t& value) {
    std::int64_t number = 0;
    if (!readNumber(number)) {
        return false;
    }
    if (number < std::numeric_limits<std::int32_t>::min() ||
        number > std::numeric_limits<std::uint32_t>::max()) {
        fail("number beyond 32 bits");
        return false;
    }
    value = static_cast<std::int32_t>(static_cast<std::uint32_t>(number));
    return true;
}

bool LineReader::readColor(std::uint32_t& value) {
    std::int32_t number = 0;
    if (!readInt32(number)) {
        return false;
    }
    value = static_cast<std::uint32_t>(number);
    return true;
}

bool LineReader::readFigure(std::int64_t& value) {
    std::int64_t number = 0;
    if (!readNumber(number)) {
        return false;
    }
    if (number >= 0) {
        value = number;
    } else if (number >= std::numeric_limits<std::int32_t>::min()) {
        value = number + (std::int64_t{1} << 32);
    } else {
        value = 0;
    }
    return true;
}

bool LineReader::readByte(std::uint8_t& value) {
    std::int64_t number = 0;
    if (!readNumber(number)) {
        return false;
    }
    value = static_cast<std::uint8_t>(static_cast<std::uint64_t>(number) & 0xFFu);
    return true;
}

bool LineReader::readCount(std::int32_t& count, std::size_t minBytesEach) {
    std::int64_t number = 0;
    if (!readNumber(number)) {
        return false;
    }
    if (number < 0) {
        fail("negative count");
        return false;
    }
    const std::size_t each = minBytesEach == 0 ? 1 : minBytesEach;
    if (number > std::numeric_limits<std::int32_t>::max() ||
        static_cast<std::uint64_t>(number) > remaining() / each) {
        fail("count larger than the rest of the file can hold");
        return false;
    }
    count = static_cast<std::int32_t>(number);
    return true;
}

bool LineReader::readDecimal(double& value) {
    if (failed_) {
        return false;
    }
    skipSpace();
    const char* first = reinterpret_cast<const char*>(bytes_.data()) + pos_;
    const char* last = reinterpret_cast<const char*>(bytes_.data()) + bytes_.size();
    // from_chars takes no leading '+'.
    if (first != last && *first == '+') {
        ++first;
    }
    double number = 0;
    const auto [end, error] = std::from_chars(first, last, number, std::chars_format::general);
    if (error != std::errc() || !std::isfinite(number)) {
        fail("no number where one was expected");
        return false;
    }
    value = number;
    pos_ = static_cast<std::size_t>(end - reinterpret_cast<const char*>(bytes_.data()));
    skipSpace();
    return true;
}

bool LineReader::nextLine(std::string_view& line) {
    if (failed_) {
        return false;
    }
    if (pos_ >= bytes_.size()) {
        fail("end of data where a line was expected");
        return false;
    }
    const auto* begin = bytes_.data() + pos_;
    const auto* found =
        static_cast<const std::uint8_t*>(std::memchr(begin, '\n', bytes_.size() - pos_));
    std::size_t end = found ? static_cast<std::size_t>(found - bytes_.data()) : bytes_.size();
    const std::size_t next = found ? end + 1 : end;
    if (found && ends_ == LineEnds::CrLf && end > pos_ && bytes_[end - 1] == '\r') {
        --end;
    }
    line = std::string_view(reinterpret_cast<const char*>(begin), end - pos_);
    pos_ = next;
    return true;
}

bool LineReader::readLine(std::string& line) {
    std::string_view view;
    if (!nextLine(view)) {
        return false;
    }
    line.assign(view);
    return true;
}

bool LineReader::readDottedText(char* dest, std::size_t capacity) {
    std::string_view line;
    if (!nextLine(line)) {
        return false;
    }
    // The first character is the dot that protects empty texts and leading blanks.
    if (!line.empty()) {
        line.remove_prefix(1);
    }
    copyTruncatedUtf8(dest, capacity, line.data(), line.size());
    return true;
}

bool LineReader::readPlainText(char* dest, std::size_t capacity) {
    std::string_view line;
    if (!nextLine(line)) {
        return false;
    }
    copyTruncatedUtf8(dest, capacity, line.data(), line.size());
    return true;
}

bool LineReader::readBytes(std::size_t count, std::span<const std::uint8_t>& bytes) {
    if (failed_) {
        return false;
    }
    if (count > bytes_.size() - pos_) {
        fail("fewer bytes left than a record or block needs");
        return false;
    }
    bytes = bytes_.subspan(pos_, count);
    pos_ += count;
    return true;
}

bool LineReader::readBytes(std::size_t count, std::vector<std::uint8_t>& bytes) {
    std::span<const std::uint8_t> view;
    if (!readBytes(count, view)) {
        return false;
    }
    bytes.assign(view.begin(), view.end());
    return true;
}

bool LineReader::readChars(std::size_t count, std::string& text) {
    if (failed_) {
        return false;
    }
    std::string result;
    result.reserve(std::min(count, bytes_.size() - pos_));
    std::size_t p = pos_;
    while (result.size() < count) {
        if (p >= bytes_.size()) {
            fail("end of data inside counted text");
            return false;
        }
        std::size_t endLength = 0;
        if (lineEndAt(p, endLength)) {
            result.push_back('\n');
            p += endLength;
        } else {
            result.push_back(static_cast<char>(bytes_[p]));
            ++p;
        }
    }
    pos_ = p;
    text = std::move(result);
    return true;
}

LineWriter::LineWriter(std::string& sink, LineEnds ends) : sink_(sink), ends_(ends) {}

void LineWriter::lineEnd() {
    if (ends_ == LineEnds::CrLf) {
        sink_.push_back('\r');
    }
    sink_.push_back('\n');
}

void LineWriter::number(std::int64_t value) {
    char digits[24];
    const auto result = std::to_chars(digits, digits + sizeof digits, value);
    sink_.append(digits, result.ptr);
    lineEnd();
}

void LineWriter::unsignedNumber(std::uint64_t value) {
    char digits[24];
    const auto result = std::to_chars(digits, digits + sizeof digits, value);
    sink_.append(digits, result.ptr);
    lineEnd();
}

void LineWriter::color(std::uint32_t value) {
    number(static_cast<std::int32_t>(value));
}

void LineWriter::oneLine(std::string_view text) {
    // Linux allows LF in file names; inside a line it would end the line early.
    const std::size_t at = sink_.size();
    sink_.append(text);
    for (std::size_t i = at; i < sink_.size(); ++i) {
        if (sink_[i] == '\n') {
            sink_[i] = '?';
        }
    }
    lineEnd();
}

void LineWriter::dottedText(std::string_view text) {
    sink_.push_back('.');
    oneLine(text);
}

void LineWriter::plainText(std::string_view text) {
    oneLine(text);
}

void LineWriter::bytes(std::span<const std::uint8_t> data) {
    sink_.append(reinterpret_cast<const char*>(data.data()), data.size());
}

void LineWriter::chars(std::string_view text) {
    if (ends_ == LineEnds::Lf) {
        sink_.append(text);
        return;
    }
    for (const char c : text) {
        if (c == '\n') {
            lineEnd();
        } else {
            sink_.push_back(c);
        }
    }
}

} // namespace pelmora
