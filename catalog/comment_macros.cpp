#include "catalog/comment_macros.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>

namespace pelmora {
namespace {

// Appends to a bounded buffer; once something did not fit, nothing more is added, so the
// output never has a later piece glued after a dropped one.
class BoundedWriter {
public:
    BoundedWriter(char* out, std::size_t capacity) : out_(out), capacity_(capacity) {
        if (capacity_ > 0) {
            out_[0] = '\0';
        }
    }

    void append(std::string_view text) {
        if (full_ || capacity_ == 0) {
            return;
        }
        std::size_t room = capacity_ - 1 - used_;
        if (text.size() > room) {
            // Keep what fits, cut before a UTF-8 continuation byte.
            std::size_t cut = room;
            while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) {
                --cut;
            }
            text = text.substr(0, cut);
            full_ = true;
        }
        std::memcpy(out_ + used_, text.data(), text.size());
        used_ += text.size();
        out_[used_] = '\0';
    }

private:
    char* out_;
    std::size_t capacity_;
    std::size_t used_ = 0;
    bool full_ = false;
};

std::string formatNumber(const char* format, double value) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, format, value);
    return buffer;
}

double megabytes(std::int64_t bytes) {
    return static_cast<double>(bytes) / 1048576.0;
}

double percentOf(std::int64_t part, std::int64_t total) {
    return total != 0 ? static_cast<double>(part) / static_cast<double>(total) * 100.0 : 0.0;
}

} // namespace

void expandComment(const VAROINFO& label, char* out, std::size_t capacity) {
    BoundedWriter writer(out, capacity);
    std::string_view comment(label.comment, strnlen(label.comment, sizeof label.comment));

    struct Macro {
        std::string_view name;
        std::string (*expand)(const VAROINFO&);
    };
    static const Macro macros[] = {
        {"%shortdate%",
         [](const VAROINFO& l) {
             return std::string(l.shortDate, strnlen(l.shortDate, sizeof l.shortDate));
         }},
        {"%longdate%",
         [](const VAROINFO& l) {
             return std::string(l.longDate, strnlen(l.longDate, sizeof l.longDate));
         }},
        {"%spacefree%",
         [](const VAROINFO& l) { return formatNumber("%0.1fM", megabytes(l.spaceFree)); }},
        {"%spaceused%",
         [](const VAROINFO& l) { return formatNumber("%0.1fM", megabytes(l.spaceUsed)); }},
        {"%files%", [](const VAROINFO& l) { return std::to_string(l.fileCount); }},
        {"%folders%", [](const VAROINFO& l) { return std::to_string(l.folderCount); }},
        {"%pctfree%",
         [](const VAROINFO& l) {
             return formatNumber("%0.1f%%", percentOf(l.spaceFree, l.spaceTotal));
         }},
        {"%pctused%",
         [](const VAROINFO& l) {
             return formatNumber("%0.1f%%", percentOf(l.spaceUsed, l.spaceTotal));
         }},
    };

    std::size_t i = 0;
    while (i < comment.size()) {
        const Macro* hit = nullptr;
        if (comment[i] == '%') {
            for (const Macro& macro : macros) {
                if (comment.substr(i, macro.name.size()) == macro.name) {
                    hit = &macro;
                    break;
                }
            }
        }
        if (hit != nullptr) {
            writer.append(hit->expand(label));
            i += hit->name.size();
        } else {
            // A whole UTF-8 sequence at a time, so a cut at the end never splits one.
            std::size_t length = 1;
            while (i + length < comment.size() &&
                   (static_cast<unsigned char>(comment[i + length]) & 0xC0) == 0x80) {
                ++length;
            }
            writer.append(comment.substr(i, length));
            i += length;
        }
    }
}

} // namespace pelmora
