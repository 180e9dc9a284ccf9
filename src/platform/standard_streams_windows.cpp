#include "platform/standard_streams.h"

#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cerrno>
#include <cstdio>
#include <ostream>
#include <streambuf>
#include <string>

#include "platform/code_page.h"
#include "platform/file_support_windows.h"

namespace korvane::platform {
namespace {

// The length of the longest prefix of `bytes` that ends at a character's end in `codePage`: what
// can be converted now, the rest waiting for the bytes that complete it.
std::size_t WholeCharacters(unsigned codePage, const std::string& bytes) {
    const std::size_t size = bytes.size();
    if (codePage == CP_UTF8) {
        // Back to the start of the last sequence, and keep it back if it is not complete.
        std::size_t start = size;
        while (start > 0 && size - start < 4 &&
               (static_cast<unsigned char>(bytes[start - 1]) & 0xC0) == 0x80)
            --start;
        if (start == 0) return size;
        const unsigned char lead = static_cast<unsigned char>(bytes[start - 1]);
        const std::size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
        return size - (start - 1) < length ? start - 1 : size;
    }
    std::size_t at = 0;
    while (at < size) {
        if (!IsDBCSLeadByteEx(codePage, static_cast<unsigned char>(bytes[at]))) {
            ++at;
        } else if (at + 1 < size) {
            at += 2;
        } else {
            break;
        }
    }
    return at;
}

// A stream buffer over a standard handle: UTF-16 through WriteConsoleW for a console, the bytes
// themselves through WriteFile otherwise. A failed write fails the stream, and sets errno.
class StandardHandleBuffer : public std::streambuf {
  public:
    explicit StandardHandleBuffer(HANDLE handle) : handle_(handle) {
        DWORD mode;
        console_ = GetConsoleMode(handle, &mode) != 0;
        setp(buffer_, buffer_ + sizeof buffer_);
    }

    // Flushes what is pending, then takes `codePage` (0: the active one) for what follows.
    void SetCodePage(unsigned codePage) {
        sync();
        codePage_ = codePage;
    }

  protected:
    int_type overflow(int_type c) override {
        if (!Flush()) return traits_type::eof();
        if (!traits_type::eq_int_type(c, traits_type::eof())) {
            *pptr() = traits_type::to_char_type(c);
            pbump(1);
        }
        return traits_type::not_eof(c);
    }

    int sync() override { return Flush() ? 0 : -1; }

  private:
    bool Flush() {
        const std::size_t size = static_cast<std::size_t>(pptr() - pbase());
        setp(buffer_, buffer_ + sizeof buffer_);
        const bool written = console_ ? WriteToConsole(buffer_, size) : WriteBytes(buffer_, size);
        if (!written) errno = LastErrorNumber();
        return written;
    }

    bool WriteBytes(const char* data, std::size_t size) {
        while (size > 0) {
            DWORD written = 0;
            if (!WriteFile(handle_, data, static_cast<DWORD>(size), &written, nullptr) ||
                written == 0)
                return false;
            data += written;
            size -= written;
        }
        return true;
    }

    bool WriteToConsole(const char* data, std::size_t size) {
        pending_.append(data, size);
        const unsigned codePage = codePage_ != 0 ? codePage_ : ActiveCodePage();
        const std::size_t whole = WholeCharacters(codePage, pending_);
        std::wstring wide;
        if (whole > 0) {
            const int length = MultiByteToWideChar(codePage, 0, pending_.data(),
                                                   static_cast<int>(whole), nullptr, 0);
            wide.resize(static_cast<std::size_t>(length));
            MultiByteToWideChar(codePage, 0, pending_.data(), static_cast<int>(whole), wide.data(),
                                length);
        }
        pending_.erase(0, whole);
        const wchar_t* next = wide.data();
        std::size_t left = wide.size();
        while (left > 0) {
            DWORD written = 0;
            if (!WriteConsoleW(handle_, next, static_cast<DWORD>(left), &written, nullptr) ||
                written == 0)
                return false;
            next += written;
            left -= written;
        }
        return true;
    }

    HANDLE handle_;
    bool console_ = false;
    unsigned codePage_ = 0;
    std::string pending_;  // the start of a character whose other bytes are still to come
    char buffer_[4096];
};

// A buffer for the standard handle `which` in place of `stream`'s; none when the process has no
// such handle.
void Replace(std::ostream& stream, DWORD which) {
    const HANDLE handle = GetStdHandle(which);
    if (handle == nullptr || handle == INVALID_HANDLE_VALUE) return;
    stream.flush();
    // Never freed: the streams are flushed once more as the process ends, after any destructor
    // of this file could have run.
    stream.rdbuf(new StandardHandleBuffer(handle));
}

}  // namespace

void PrepareStandardStreams(std::ostream& output, std::ostream& error) {
    // C stdio writes the same handles; it must not add CRs either.
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
    Replace(output, STD_OUTPUT_HANDLE);
    Replace(error, STD_ERROR_HANDLE);
    // The error stream writes at once, as it does everywhere.
    error.setf(std::ios::unitbuf);
}

void SetStandardOutputCodePage(std::ostream& output, unsigned codePage) {
    output.flush();
    if (auto* buffer = dynamic_cast<StandardHandleBuffer*>(output.rdbuf()))
        buffer->SetCodePage(codePage);
}

}  // namespace korvane::platform
