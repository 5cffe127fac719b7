// Runtime basics: the exception hierarchy and string helpers the program is written against.
#pragma once

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

// Base of every exception the program raises itself. `Message()` is what the
// application's default error box shows.
class Exception : public std::exception {
public:
    explicit Exception(std::string message) : message_(std::move(message)) {}
    const char* what() const noexcept override { return message_.c_str(); }
    const std::string& Message() const noexcept { return message_; }
    void SetMessage(std::string m) { message_ = std::move(m); }

private:
    std::string message_;
};

#define MW_DECLARE_EXCEPTION(Name, Base)                                   \
    class Name : public Base {                                             \
    public:                                                                \
        using Base::Base;                                                  \
    }

MW_DECLARE_EXCEPTION(EConvertError, Exception);
MW_DECLARE_EXCEPTION(ERangeError, Exception);
MW_DECLARE_EXCEPTION(EIntOverflow, Exception);
MW_DECLARE_EXCEPTION(EInOutError, Exception);
MW_DECLARE_EXCEPTION(EOutOfResources, Exception);
MW_DECLARE_EXCEPTION(EInvalidOperation, Exception);
MW_DECLARE_EXCEPTION(EInvalidGraphic, Exception);
MW_DECLARE_EXCEPTION(EInvalidGraphicOperation, Exception);
MW_DECLARE_EXCEPTION(EAbstractError, Exception);
MW_DECLARE_EXCEPTION(EStreamError, Exception);
MW_DECLARE_EXCEPTION(EFOpenError, EStreamError);
MW_DECLARE_EXCEPTION(EFCreateError, EStreamError);
MW_DECLARE_EXCEPTION(EListError, Exception);
MW_DECLARE_EXCEPTION(EInvalidCast, Exception);      // "Invalid class typecast"
MW_DECLARE_EXCEPTION(EComponentError, Exception);

class EReadError : public EStreamError {
public:
    EReadError() : EStreamError("Stream read error") {}
    using EStreamError::EStreamError;
};

class EWriteError : public EStreamError {
public:
    EWriteError() : EStreamError("Stream write error") {}
    using EStreamError::EStreamError;
};

// The silent exception: it ends an operation and the default handler shows nothing.
class EAbort : public Exception {
public:
    EAbort() : Exception("Operation aborted") {}
    using Exception::Exception;
};

// Raises EAbort.
[[noreturn]] void Abort();
// Raises EAbstractError with the runtime's text "Abstract Error".
[[noreturn]] void AbstractError();

// --- Strings ---------------------------------------------------------------
// Trim removes every character <= 0x20 at the ends (control characters included).
std::string Trim(std::string_view s);
std::string TrimLeft(std::string_view s);
std::string TrimRight(std::string_view s);
std::string UpperCase(std::string_view s);   // ASCII letters only
std::string LowerCase(std::string_view s);
bool SameText(std::string_view a, std::string_view b);   // ASCII, without regard to case
int CompareText(std::string_view a, std::string_view b); // <0, 0, >0; without regard to case
int CompareStr(std::string_view a, std::string_view b);
// 1-based position of needle in s, 0 when absent. An empty needle is never found.
int Pos(std::string_view needle, std::string_view s);
// Characters [index, index + count) counted from 1, clipped to the string.
std::string Copy(std::string_view s, int index, int count);
std::string IntToStr(int64_t v);
std::string IntToHex(uint64_t v, int digits);
std::string StringOfChar(char c, int count);
// The value of a hex digit (either case); -1 for any other character.
int HexDigitValue(char c);
// Text in double quotes, escaped as the registry file and component streams write it: \\, \",
// \n, \r, \t, and \xHH for the other control characters (below 0x20, and 0x7F).
std::string QuotedText(std::string_view s);
// Reads such a quoted text from text[pos] (its opening quote) into out; pos moves past the
// closing quote, or stops where the fault lies (after an unknown escape's letter). Raw control
// characters are refused unless allowed; a text longer than maxLength stops the read.
enum class TUnquoteFault { None, Unterminated, BadHexEscape, UnknownEscape, ControlCharacter, TooLong };
TUnquoteFault UnquoteText(std::string_view text, std::size_t& pos, std::string& out, bool controlsAllowed,
                          std::size_t maxLength = std::string::npos);
std::string StringReplaceAll(std::string_view s, std::string_view from, std::string_view to, bool ignoreCase = false);
std::string IncludeTrailingPathDelimiter(std::string_view path);
std::string ExtractFilePath(std::string_view fileName);   // with the trailing "/"
std::string ExtractFileName(std::string_view fileName);
std::string ExtractFileExt(std::string_view fileName);    // with the dot, "" when none
std::string ChangeFileExt(std::string_view fileName, std::string_view ext);
bool FileExists(const std::string& fileName);
bool DirectoryExists(const std::string& dir);
bool DeleteFile(const std::string& fileName);

// A string that keeps at most N characters: a longer value is cut on assignment.
template <std::size_t N>
class ShortString {
public:
    ShortString() = default;
    ShortString(std::string_view s) { assign(s); }
    ShortString(const char* s) { assign(s ? std::string_view(s) : std::string_view()); }
    ShortString(const std::string& s) { assign(s); }
    ShortString& operator=(std::string_view s) { assign(s); return *this; }
    ShortString& operator=(const std::string& s) { assign(s); return *this; }
    ShortString& operator=(const char* s) { assign(s ? std::string_view(s) : std::string_view()); return *this; }

    const std::string& str() const noexcept { return value_; }
    operator const std::string&() const noexcept { return value_; }
    std::size_t size() const noexcept { return value_.size(); }
    bool empty() const noexcept { return value_.empty(); }
    const char* c_str() const noexcept { return value_.c_str(); }
    static constexpr std::size_t capacity() { return N; }

    friend bool operator==(const ShortString& a, std::string_view b) { return a.value_ == b; }
    friend std::string operator+(const ShortString& a, std::string_view b) { return a.value_ + std::string(b); }
    friend std::string operator+(std::string_view a, const ShortString& b) { return std::string(a) + b.value_; }

private:
    void assign(std::string_view s) { value_.assign(s.substr(0, std::min(s.size(), N))); }
    std::string value_;
};
