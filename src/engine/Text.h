#pragma once
// Text of the engine and the game: UTF-16 strings, the printf-style formatter, UTF-8 conversion
// and small text helpers.
//
// Formatter conventions (the game's format strings were written for them):
//   %s   a UTF-16 string (WString, WStringView, const char16_t*), whatever flags or width
//   %hs  a narrow UTF-8 string (std::string, const char*)
//   %d %i %u %x %X %o   32-bit integers (the argument is cut to 32 bits), also with l
//   %lld %llu %llx %I64d %I64u %I64x   64-bit integers
//   %f %lf %e %g (and upper-case forms)   doubles
//   %c   one UTF-16 unit; %p a pointer; %% a percent sign
// Flags "-+ 0#", a width and a precision (digits or "*") work as in C. Numbers never depend on
// the C locale. When the output cannot be made (an argument of the wrong kind, a missing
// argument, an unknown conversion, more than 65,535 characters) the result is "<XXX>".

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

using WString = std::u16string;
using WStringView = std::u16string_view;

// One argument of the formatter, captured by value or by view.
class FormatArg {
public:
    enum class Kind : uint8_t { Signed, Unsigned, Double, Wide, Narrow, Pointer };

    template <class T>
        requires(std::is_integral_v<T> && !std::is_same_v<T, bool>)
    FormatArg(T v) {
        if constexpr (std::is_signed_v<T>) {
            kind = Kind::Signed;
            i = static_cast<int64_t>(v);
        } else {
            kind = Kind::Unsigned;
            u = static_cast<uint64_t>(v);
        }
    }
    FormatArg(bool v) : kind(Kind::Signed), i(v ? 1 : 0) {}
    template <class E>
        requires std::is_enum_v<E>
    FormatArg(E v) : FormatArg(static_cast<std::underlying_type_t<E>>(v)) {}
    FormatArg(double v) : kind(Kind::Double), d(v) {}
    FormatArg(float v) : kind(Kind::Double), d(v) {}
    FormatArg(const char16_t* s) : kind(Kind::Wide), wide(s ? WStringView(s) : WStringView(u"(null)")) {}
    FormatArg(const WString& s) : kind(Kind::Wide), wide(s) {}
    FormatArg(WStringView s) : kind(Kind::Wide), wide(s) {}
    FormatArg(const char* s) : kind(Kind::Narrow), narrow(s ? std::string_view(s) : std::string_view("(null)")) {}
    FormatArg(const std::string& s) : kind(Kind::Narrow), narrow(s) {}
    FormatArg(std::string_view s) : kind(Kind::Narrow), narrow(s) {}
    FormatArg(const void* p) : kind(Kind::Pointer), u(reinterpret_cast<uintptr_t>(p)) {}
    FormatArg(std::nullptr_t) : kind(Kind::Pointer), u(0) {}

    Kind kind;
    union {
        int64_t i;
        uint64_t u;
        double d;
    };
    WStringView wide;
    std::string_view narrow;
};

// Formats into out; returns false (and out = "<XXX>") when the output cannot be made.
bool vformat(WString& out, WStringView fmt, std::span<const FormatArg> args);

template <class... Args>
WString format(WStringView fmt, const Args&... args) {
    const FormatArg list[] = {FormatArg(args)..., FormatArg(0)};
    WString out;
    vformat(out, fmt, std::span<const FormatArg>(list, sizeof...(Args)));
    return out;
}

template <class... Args>
void formatTo(WString& out, WStringView fmt, const Args&... args) {
    const FormatArg list[] = {FormatArg(args)..., FormatArg(0)};
    vformat(out, fmt, std::span<const FormatArg>(list, sizeof...(Args)));
}

// Reading numbers as "%d", "%u", "%x" and "%lf" read them: leading blanks, then the longest
// number there is. Returns false when the text does not begin with a number.
bool scanInt(WStringView text, int32_t& value);
bool scanUnsigned(WStringView text, uint32_t& value);
bool scanHex(WStringView text, uint32_t& value);
bool scanDouble(WStringView text, double& value);

void replaceAll(WString& text, WStringView pattern, WStringView replacement);
void trim(WString& text);
std::vector<WString> splitLines(WStringView text);
WString getFileName(WStringView path);

// UTF-8 and UTF-16 over the whole of Unicode. Decoding never reads past its input; a byte that
// begins no valid sequence, or a sequence cut off by the end of the input, becomes U+FFFD.
// Unpaired surrogates are encoded as three bytes each and decoded back to the same unit.
WString utf8ToWide(std::string_view text);
WString utf8ToWide(const char* nulEnded);
std::string wideToUtf8(WStringView text);

// Upper-case and lower-case forms of ASCII letters only.
WString toLowerAscii(WStringView text);
bool equalsIgnoreCaseAscii(WStringView a, WStringView b);
