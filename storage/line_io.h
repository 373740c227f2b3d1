#pragma once
// Line-oriented reading and writing of label and template files. Both formats are a run of
// number lines, dotted text lines ("." + text), plain text lines and marker lines, and a
// label file mixes raw binary records in between, so the reader works on the bytes of the
// whole file and the writer appends to a byte buffer that the caller puts on disk at once.
//
// The reader trusts nothing it reads: every read checks the bytes left, a count can be
// checked against what the rest of the file could hold, and the first failed read makes
// every later read fail too, so a damaged file ends reading at the point of damage.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace pelmora {

// How lines end on disk. Template files are text files written with CR LF; a label file
// ends each line with a single LF.
enum class LineEnds { Lf, CrLf };

class LineReader {
public:
    // The reader keeps a view of `bytes`; they must outlive it.
    explicit LineReader(std::span<const std::uint8_t> bytes, LineEnds ends = LineEnds::Lf);
    explicit LineReader(std::string_view bytes, LineEnds ends = LineEnds::Lf);

    // False once any read has failed; stays false.
    bool ok() const { return !failed_; }
    // Why reading stopped (empty while ok), and the byte offset where it did.
    const std::string& failure() const { return failure_; }
    std::size_t failureOffset() const { return failureOffset_; }
    // Marks the reader failed; later reads all fail.
    void fail(std::string reason);

    std::size_t offset() const { return pos_; }
    std::size_t remaining() const { return failed_ ? 0 : bytes_.size() - pos_; }
    bool atEnd() const { return remaining() == 0; }

    // A number item: optional white space, an optionally signed decimal integer, then every
    // white-space character that follows, line ends included. Fails (and leaves `value`
    // alone) without digits or beyond the 64-bit range.
    bool readNumber(std::int64_t& value);
    // A number item that ends its line: the white space after it is skipped up to and
    // including the first line end, then only blanks and tabs. A plain text line read next
    // is then the line after the number even when it is empty, and still loses its leading
    // blanks as after any number.
    bool readNumberEndingLine(std::int64_t& value);
    // A number item kept as a 32-bit field: values outside the signed range wrap as the
    // unsigned 32-bit value they spell (a colour written unsigned reads back the same).
    bool readInt32(std::int32_t& value);
    bool readColor(std::uint32_t& value);
    // A size or space figure in bytes, 64-bit. Older files wrote these as signed 32-bit
    // numbers, so values from 2 GB up came out negative there; those read back as the
    // unsigned 32-bit value they stand for, anything more negative as 0.
    bool readFigure(std::int64_t& value);
    // A byte-sized field: the low eight bits of the number.
    bool readByte(std::uint8_t& value);
    // A number of things that follow, each taking at least `minBytesEach` bytes of the
    // file. A negative count, or one the rest of the file cannot hold, fails the reader.
    bool readCount(std::int32_t& count, std::size_t minBytesEach);
    // A floating-point number item ("1.6", "41"), with the white space after it skipped.
    bool readDecimal(double& value);

    // The whole next line without its line end. At the end of the data, fails.
    bool readLine(std::string& line);
    // A dotted text line: the next line with its first character dropped, cut to fit a
    // NUL-terminated field of `capacity` bytes without splitting a UTF-8 sequence.
    bool readDottedText(char* dest, std::size_t capacity);
    template <std::size_t N> bool readDottedText(char (&dest)[N]) {
        return readDottedText(dest, N);
    }
    // A plain text line, cut the same way.
    bool readPlainText(char* dest, std::size_t capacity);
    template <std::size_t N> bool readPlainText(char (&dest)[N]) { return readPlainText(dest, N); }

    // `count` raw bytes; fails without consuming anything when fewer are left.
    bool readBytes(std::size_t count, std::span<const std::uint8_t>& bytes);
    bool readBytes(std::size_t count, std::vector<std::uint8_t>& bytes);
    // `count` characters of text, each line end on disk counting as one LF ("\r\n" in CrLf
    // mode). Fails when fewer are left.
    bool readChars(std::size_t count, std::string& text);

private:
    enum class SpaceAfter { All, ToNextLine };
    bool readNumber(std::int64_t& value, SpaceAfter after);
    bool nextLine(std::string_view& line);
    bool lineEndAt(std::size_t pos, std::size_t& length) const;
    void skipSpace();
    void skipToNextLine();

    std::span<const std::uint8_t> bytes_;
    LineEnds ends_;
    std::size_t pos_ = 0;
    bool failed_ = false;
    std::string failure_;
    std::size_t failureOffset_ = 0;
};

class LineWriter {
public:
    // Appends to `sink`, which must outlive the writer.
    explicit LineWriter(std::string& sink, LineEnds ends = LineEnds::Lf);

    void number(std::int64_t value);
    void unsignedNumber(std::uint64_t value);
    // A colour as its signed 32-bit value.
    void color(std::uint32_t value);
    // "." + text + line end; an empty text still makes the line ".". An LF inside a text
    // (file names may hold one) is written as "?", so it cannot split the line.
    void dottedText(std::string_view text);
    void plainText(std::string_view text);
    void marker(std::string_view text) { plainText(text); }
    void lineEnd();
    // Raw bytes, no line end.
    void bytes(std::span<const std::uint8_t> data);
    // Text whose LF characters become the line end of this writer.
    void chars(std::string_view text);

    std::size_t size() const { return sink_.size(); }

private:
    void oneLine(std::string_view text);

    std::string& sink_;
    LineEnds ends_;
};

} // namespace pelmora
