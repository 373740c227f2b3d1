#pragma once
// A small streaming JSON writer for the CLI's dumps: objects and arrays opened and closed in
// order, two-space indentation, strings escaped. Record texts are bytes: valid UTF-8 passes
// through, and any other byte (texts written by code-page programs) is taken as the Latin-1
// character of the same value, so the output is always valid JSON.

#include <concepts>
#include <cstdint>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace pelmora::cli {

class JsonWriter {
public:
    explicit JsonWriter(std::ostream& out) : out_(out) {}

    void beginObject() { open('{'); }
    void endObject() { close('}'); }
    void beginArray() { open('['); }
    void endArray() { close(']'); }

    // The member name of the next value inside an object.
    void key(std::string_view name) {
        separate();
        writeString(name);
        out_ << ": ";
        afterKey_ = true;
    }

    void value(std::string_view text) {
        separate();
        writeString(text);
    }
    void value(const char* text) { value(std::string_view(text)); }
    void value(bool flag) {
        separate();
        out_ << (flag ? "true" : "false");
    }
    template <std::integral T>
    requires(!std::same_as<T, bool>) void value(T number) {
        separate();
        if constexpr (sizeof(T) == 1) {
            out_ << static_cast<int>(number);
        } else {
            out_ << number;
        }
    }

    template <typename T> void field(std::string_view name, const T& v) {
        key(name);
        value(v);
    }
    // A NUL-terminated text in a fixed field; stops at the field's end without a NUL.
    void textField(std::string_view name, const char* text, std::size_t capacity) {
        std::size_t length = 0;
        while (length < capacity && text[length] != '\0') {
            ++length;
        }
        field(name, std::string_view(text, length));
    }
    template <std::size_t N> void textField(std::string_view name, const char (&text)[N]) {
        textField(name, text, N);
    }

    // Ends the document with a line end.
    void finish() { out_ << '\n'; }

private:
    void open(char bracket) {
        separate();
        out_ << bracket;
        counts_.push_back(0);
    }
    void close(char bracket) {
        const bool empty = counts_.back() == 0;
        counts_.pop_back();
        if (!empty) {
            newline();
        }
        out_ << bracket;
    }
    // Before a value or key: a comma after a previous item and a fresh indented line, except
    // for the value right after its key.
    void separate() {
        if (afterKey_) {
            afterKey_ = false;
            return;
        }
        if (counts_.empty()) {
            return;
        }
        if (counts_.back()++ > 0) {
            out_ << ',';
        }
        newline();
    }
    void newline() {
        out_ << '\n';
        for (std::size_t i = 0; i < counts_.size(); ++i) {
            out_ << "  ";
        }
    }

    // Length of the valid UTF-8 sequence starting at `i`, 0 when there is none.
    static std::size_t utf8SequenceLength(std::string_view s, std::size_t i) {
        const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(s[k]); };
        const unsigned char lead = byte(i);
        std::size_t length = 0;
        std::uint32_t min = 0;
        std::uint32_t code = 0;
        if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2;
            min = 0x80;
            code = lead & 0x1F;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3;
            min = 0x800;
            code = lead & 0x0F;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4;
            min = 0x10000;
            code = lead & 0x07;
        } else {
            return 0;
        }
        if (i + length > s.size()) {
            return 0;
        }
        for (std::size_t k = 1; k < length; ++k) {
            if ((byte(i + k) & 0xC0) != 0x80) {
                return 0;
            }
            code = (code << 6) | (byte(i + k) & 0x3F);
        }
        if (code < min || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
            return 0;
        }
        return length;
    }

    void writeString(std::string_view s) {
        static constexpr char kHex[] = "0123456789abcdef";
        out_ << '"';
        for (std::size_t i = 0; i < s.size();) {
            const auto c = static_cast<unsigned char>(s[i]);
            if (c < 0x80) {
                switch (c) {
                case '"':
                    out_ << "\\\"";
                    break;
                case '\\':
                    out_ << "\\\\";
                    break;
                case '\n':
                    out_ << "\\n";
                    break;
                case '\r':
                    out_ << "\\r";
                    break;
                case '\t':
                    out_ << "\\t";
                    break;
                default:
                    if (c < 0x20 || c == 0x7F) {
                        out_ << "\\u00" << kHex[c >> 4] << kHex[c & 0xF];
                    } else {
                        out_ << static_cast<char>(c);
                    }
                }
                ++i;
                continue;
            }
            const std::size_t length = utf8SequenceLength(s, i);
            if (length > 0) {
                out_.write(s.data() + i, static_cast<std::streamsize>(length));
                i += length;
            } else {
                // Latin-1: U+0080..U+00FF as two UTF-8 bytes.
                out_ << static_cast<char>(0xC0 | (c >> 6)) << static_cast<char>(0x80 | (c & 0x3F));
                ++i;
            }
        }
        out_ << '"';
    }

    std::ostream& out_;
    std::vector<std::size_t> counts_;
    bool afterKey_ = false;
};

} // namespace pelmora::cli
