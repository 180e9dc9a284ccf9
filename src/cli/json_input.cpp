#include "cli/json_input.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <istream>
#include <memory>
#include <streambuf>
#include <utility>
#include <vector>

#include "cli/json_path.h"
#include "platform/files.h"
#include "setupfile/display_text.h"

namespace korvane::cli {
namespace {

using Json = nlohmann::json;

// A line and the characters before a point on it.
struct Place {
    std::size_t line = 1;
    std::size_t column = 0;  // characters of the line before the point

    void Advance(const char* bytes, std::size_t size) {
        const char* const end = bytes + size;
        const char* lineStart = bytes;
        while (const void* feed = std::memchr(lineStart, '\n', end - lineStart)) {
            ++line;
            column = 0;
            lineStart = static_cast<const char*>(feed) + 1;
        }
        // Every byte of the line but the trail bytes of UTF-8 characters starts a character.
        column += std::count_if(lineStart, end, [](char byte) {
            return (static_cast<unsigned char>(byte) & 0xC0) != 0x80;
        });
    }
};

// A file read through a buffer that knows how many bytes the parser has taken and on which
// line and column each of them is: the place of an error is found without reading the file
// again, so that a pipe is read only once.
class PlacedInput final : public std::streambuf {
  public:
    explicit PlacedInput(std::FILE* file) : file_(file) {}

    // The number of bytes taken so far.
    std::uint64_t Taken() const {
        return bufferStart_ + static_cast<std::uint64_t>(gptr() - eback());
    }

    // The place of the byte at `offset`, which lies in the last piece read (or just after it).
    Place PlaceOf(std::uint64_t offset) const {
        Place place = bufferPlace_;
        if (offset > bufferStart_)
            place.Advance(buffer_, static_cast<std::size_t>(offset - bufferStart_));
        // A byte-order mark is no character of the first line, as an editor shows it.
        if (place.line == 1 && startsWithMark_ && place.column > 0) --place.column;
        return place;
    }

    // The offset of the opening quote of the string whose closing quote is at `end`, when the
    // string lies in the last piece read; otherwise `end`. A string holds no raw quote, only
    // escaped ones.
    std::uint64_t OpeningQuoteOf(std::uint64_t end) const {
        if (end < bufferStart_) return end;
        for (auto at = static_cast<std::size_t>(end - bufferStart_); at-- > 0;) {
            if (buffer_[at] != '"') continue;
            std::size_t backslashes = 0;
            while (backslashes < at && buffer_[at - 1 - backslashes] == '\\') ++backslashes;
            if (backslashes % 2 == 0) return bufferStart_ + at;
        }
        return end;
    }

    // The system's error number when reading failed, or 0.
    int error() const { return error_; }

  protected:
    int_type underflow() override {
        const std::size_t previous = static_cast<std::size_t>(egptr() - eback());
        const std::size_t got = std::fread(buffer_, 1, sizeof buffer_, file_);
        if (got == 0) {
            if (std::ferror(file_)) error_ = errno != 0 ? errno : EIO;
            return traits_type::eof();
        }
        if (bufferStart_ == 0 && previous == 0)
            startsWithMark_ = got >= 3 && std::memcmp(buffer_, "\xEF\xBB\xBF", 3) == 0;
        bufferPlace_.Advance(buffer_, previous);
        bufferStart_ += previous;
        setg(buffer_, buffer_, buffer_ + got);
        return traits_type::to_int_type(buffer_[0]);
    }

  private:
    std::FILE* file_;
    char buffer_[65536];
    std::uint64_t bufferStart_ = 0;  // the offset of buffer_[0] in the file
    Place bufferPlace_;              // the place of buffer_[0]
    bool startsWithMark_ = false;    // the file starts with UTF-8's byte-order mark
    int error_ = 0;
};

// Why a parse stopped, and the offset of the byte at fault.
struct Refusal {
    std::uint64_t offset = 0;
    std::string message;
};

// Builds the tree from the parser's events, as nlohmann/json's own builder does, refusing
// depth beyond the bound and a key given twice.
class TreeBuilder {
  public:
    TreeBuilder(Json& root, const PlacedInput& input) : root_(root), input_(input) {}

    const Refusal& refusal() const { return refusal_; }

    bool null() { return Add(nullptr); }
    bool boolean(bool value) { return Add(value); }
    bool number_integer(Json::number_integer_t value) { return Add(value); }
    bool number_unsigned(Json::number_unsigned_t value) { return Add(value); }
    bool number_float(Json::number_float_t value, const std::string&) { return Add(value); }
    bool string(std::string& value) { return Add(std::move(value)); }
    bool binary(Json::binary_t&) { return false; }  // JSON text holds none

    bool start_object(std::size_t) { return Open(Json::object()); }
    bool start_array(std::size_t) { return Open(Json::array()); }
    bool end_object() { return Close(); }
    bool end_array() { return Close(); }

    bool key(std::string& name) {
        const Frame& frame = open_.back();
        if (frame.value->contains(name)) {
            // The key's closing quote was the last byte taken; the message points at its start.
            Refuse(MemberPath(frame.path, name) + " is given twice");
            refusal_.offset = input_.OpeningQuoteOf(refusal_.offset);
            return false;
        }
        key_ = std::move(name);
        return true;
    }

    template <typename Exception>
    bool parse_error(std::size_t position, const std::string&, const Exception& error) {
        // `position` counts the bytes read, the one at fault included.
        refusal_ = {position > 0 ? position - 1 : 0,
                    "not valid JSON: " + setupfile::DisplayForm(setupfile::LocalFormOfUtf8(
                                             Explanation(error.what())))};
        return false;
    }

  private:
    // An open array or object, and where it is.
    struct Frame {
        Json* value;
        std::string path;  // empty for the outermost value
    };

    // Places `value` in the open array or object; returns where it now is, and sets `path`
    // when asked to.
    Json* Put(Json&& value, std::string* path = nullptr) {
        if (open_.empty()) {
            root_ = std::move(value);
            return &root_;
        }
        const Frame& frame = open_.back();
        Json& parent = *frame.value;
        if (parent.is_array()) {
            if (path != nullptr) *path = ElementPath(frame.path, parent.size());
            parent.push_back(std::move(value));
            return &parent.back();
        }
        if (path != nullptr) *path = MemberPath(frame.path, key_);
        return &parent.get_ref<Json::object_t&>()
                    .emplace(std::move(key_), std::move(value))
                    .first->second;
    }

    template <typename Value>
    bool Add(Value&& value) {
        Put(Json(std::forward<Value>(value)));
        return true;
    }

    bool Open(Json&& container) {
        // The bracket that opens the container was the last byte taken.
        if (open_.size() >= kMaxJsonDepth)
            return Refuse("arrays and objects nested deeper than " + std::to_string(kMaxJsonDepth) +
                          " levels");
        std::string path;
        Json* placed = Put(std::move(container), &path);
        open_.push_back(Frame{placed, std::move(path)});
        return true;
    }

    bool Close() {
        open_.pop_back();
        return true;
    }

    bool Refuse(std::string message) {
        const std::uint64_t taken = input_.Taken();
        refusal_ = {taken > 0 ? taken - 1 : 0, std::move(message)};
        return false;
    }

    // nlohmann/json's message without its own prefix and place ("[json.exception.parse_error.101]
    // parse error at line 1, column 5: "), which the caller gives as line and column.
    static std::string Explanation(std::string what) {
        if (!what.empty() && what[0] == '[') {
            const std::size_t bracket = what.find("] ");
            if (bracket != std::string::npos) what.erase(0, bracket + 2);
        }
        if (what.rfind("parse error", 0) == 0) {
            const std::size_t colon = what.find(": ");
            if (colon != std::string::npos) what.erase(0, colon + 2);
        }
        return what;
    }

    Json& root_;
    const PlacedInput& input_;
    std::vector<Frame> open_;
    std::string key_;  // the key of the member being read
    Refusal refusal_;
};

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

}  // namespace

bool ParseJsonFileExplained(const std::string& path, Json& json, std::string& reason) {
    errno = 0;
    const std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
    if (!file) {
        reason = path + ": cannot read: " + platform::ErrorText(errno != 0 ? errno : ENOENT);
        return false;
    }
    PlacedInput input(file.get());
    std::istream stream(&input);
    TreeBuilder builder(json, input);
    const bool parsed = Json::sax_parse(stream, &builder);
    if (input.error() != 0) {
        reason = path + ": cannot read: " + platform::ErrorText(input.error());
        return false;
    }
    if (parsed) return true;
    const Refusal& refusal = builder.refusal();
    const Place place = input.PlaceOf(refusal.offset);
    reason = path + ":" + std::to_string(place.line) + ":" + std::to_string(place.column + 1) +
             ": " + refusal.message;
    return false;
}

}  // namespace korvane::cli
