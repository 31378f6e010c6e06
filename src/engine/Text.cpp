#include "engine/Text.h"

#include <cctype>
#include <charconv>
#include <cstdlib>
#include <cmath>
#include <limits>

namespace {

constexpr size_t kMaxFormattedLength = 65535;

struct FormatSpec {
    bool left = false, plus = false, space = false, zero = false, alt = false;
    int width = 0;
    int precision = -1;
    bool wide64 = false;  // ll, I64, j, z, t
    bool narrowText = false;  // h before s or c
    char16_t conv = 0;
};

void appendAscii(WString& out, std::string_view s) {
    for (char c : s) out.push_back(static_cast<char16_t>(static_cast<unsigned char>(c)));
}

// Lays out sign/prefix, zero padding and digits within the width.
void appendPadded(WString& out, const FormatSpec& fs, std::string_view prefix, std::string_view body, bool allowZeroPad) {
    const size_t len = prefix.size() + body.size();
    const size_t width = fs.width > 0 ? static_cast<size_t>(fs.width) : 0;
    const size_t pad = width > len ? width - len : 0;
    if (fs.left) {
        appendAscii(out, prefix);
        appendAscii(out, body);
        out.append(pad, u' ');
    } else if (fs.zero && allowZeroPad) {
        appendAscii(out, prefix);
        out.append(pad, u'0');
        appendAscii(out, body);
    } else {
        out.append(pad, u' ');
        appendAscii(out, prefix);
        appendAscii(out, body);
    }
}

void appendPaddedWide(WString& out, const FormatSpec& fs, WStringView body) {
    const size_t width = fs.width > 0 ? static_cast<size_t>(fs.width) : 0;
    const size_t pad = width > body.size() ? width - body.size() : 0;
    if (!fs.left) out.append(pad, u' ');
    out.append(body);
    if (fs.left) out.append(pad, u' ');
}

bool formatInteger(WString& out, const FormatSpec& fs, const FormatArg& arg) {
    uint64_t magnitude = 0;
    bool negative = false;
    const bool isSigned = fs.conv == u'd' || fs.conv == u'i';
    uint64_t raw;
    if (arg.kind == FormatArg::Kind::Signed) raw = static_cast<uint64_t>(arg.i);
    else if (arg.kind == FormatArg::Kind::Unsigned || arg.kind == FormatArg::Kind::Pointer) raw = arg.u;
    else return false;

    if (isSigned) {
        int64_t v = fs.wide64 ? static_cast<int64_t>(raw) : static_cast<int64_t>(static_cast<int32_t>(static_cast<uint32_t>(raw)));
        negative = v < 0;
        magnitude = negative ? (~static_cast<uint64_t>(v) + 1) : static_cast<uint64_t>(v);
    } else {
        magnitude = fs.wide64 ? raw : static_cast<uint64_t>(static_cast<uint32_t>(raw));
    }

    int base = 10;
    bool upper = false;
    if (fs.conv == u'x') base = 16;
    else if (fs.conv == u'X') base = 16, upper = true;
    else if (fs.conv == u'o') base = 8;

    char digits[72];
    std::string_view body;
    if (fs.precision == 0 && magnitude == 0) {
        body = {};
    } else {
        auto res = std::to_chars(digits, digits + sizeof(digits), magnitude, base);
        if (upper)
            for (char* p = digits; p < res.ptr; ++p)
                if (*p >= 'a' && *p <= 'f') *p = static_cast<char>(*p - 'a' + 'A');
        body = std::string_view(digits, static_cast<size_t>(res.ptr - digits));
    }
    std::string padded;
    if (fs.precision > 0 && body.size() < static_cast<size_t>(fs.precision)) {
        if (fs.precision > static_cast<int>(kMaxFormattedLength)) return false;
        padded.assign(static_cast<size_t>(fs.precision) - body.size(), '0');
        padded.append(body);
        body = padded;
    }
    std::string prefix;
    if (isSigned) {
        if (negative) prefix = "-";
        else if (fs.plus) prefix = "+";
        else if (fs.space) prefix = " ";
    }
    if (fs.alt && magnitude != 0) {
        if (base == 16) prefix += upper ? "0X" : "0x";
        else if (base == 8 && (body.empty() || body[0] != '0')) prefix += "0";
    }
    appendPadded(out, fs, prefix, body, fs.precision < 0);
    return true;
}

// Fixed or scientific text of |value| with the given precision, as printf writes it.
std::string floatText(double value, char16_t conv, int precision, bool alt) {
    char buf[400];
    const bool upper = conv == u'F' || conv == u'E' || conv == u'G';
    std::string text;
    if (std::isinf(value)) {
        text = "inf";
    } else if (std::isnan(value)) {
        text = "nan";
    } else if (conv == u'f' || conv == u'F') {
        auto r = std::to_chars(buf, buf + sizeof(buf), value, std::chars_format::fixed, precision);
        text.assign(buf, r.ptr);
        if (alt && precision == 0) text += '.';
    } else if (conv == u'e' || conv == u'E') {
        auto r = std::to_chars(buf, buf + sizeof(buf), value, std::chars_format::scientific, precision);
        text.assign(buf, r.ptr);
        if (alt && precision == 0) text.insert(text.find('e'), ".");
    } else {  // g, G
        int p = precision == 0 ? 1 : precision;
        auto r = std::to_chars(buf, buf + sizeof(buf), value, std::chars_format::scientific, p - 1);
        std::string sci(buf, r.ptr);
        int exponent = std::atoi(sci.c_str() + sci.find('e') + 1);
        if (exponent < p && exponent >= -4) {
            r = std::to_chars(buf, buf + sizeof(buf), value, std::chars_format::fixed, p - 1 - exponent);
            text.assign(buf, r.ptr);
            if (!alt && text.find('.') != std::string::npos) {
                while (text.back() == '0') text.pop_back();
                if (text.back() == '.') text.pop_back();
            }
        } else {
            text = sci;
            if (!alt) {
                size_t e = text.find('e');
                std::string mantissa = text.substr(0, e);
                if (mantissa.find('.') != std::string::npos) {
                    while (mantissa.back() == '0') mantissa.pop_back();
                    if (mantissa.back() == '.') mantissa.pop_back();
                }
                text = mantissa + text.substr(e);
            }
        }
    }
    if (upper)
        for (char& c : text)
            if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return text;
}

bool formatFloat(WString& out, const FormatSpec& fs, const FormatArg& arg) {
    double v;
    if (arg.kind == FormatArg::Kind::Double) v = arg.d;
    else if (arg.kind == FormatArg::Kind::Signed) v = static_cast<double>(arg.i);
    else if (arg.kind == FormatArg::Kind::Unsigned) v = static_cast<double>(arg.u);
    else return false;
    const int precision = fs.precision < 0 ? 6 : fs.precision;
    if (precision > 340) return false;
    const bool negative = std::signbit(v) && !std::isnan(v);
    std::string body = floatText(std::fabs(v), fs.conv, precision, fs.alt);
    std::string prefix = negative ? "-" : fs.plus ? "+" : fs.space ? " " : "";
    appendPadded(out, fs, prefix, body, std::isfinite(v));
    return true;
}

bool formatString(WString& out, const FormatSpec& fs, const FormatArg& arg) {
    WString decoded;
    WStringView text;
    if (arg.kind == FormatArg::Kind::Wide) {
        text = arg.wide;
    } else if (arg.kind == FormatArg::Kind::Narrow) {
        decoded = utf8ToWide(arg.narrow);
        text = decoded;
    } else {
        return false;
    }
    if (fs.precision >= 0 && text.size() > static_cast<size_t>(fs.precision)) text = text.substr(0, static_cast<size_t>(fs.precision));
    appendPaddedWide(out, fs, text);
    return true;
}

}  // namespace

bool vformat(WString& out, WStringView fmt, std::span<const FormatArg> args) {
    WString result;
    size_t nextArg = 0;
    auto fail = [&out]() {
        out = u"<XXX>";
        return false;
    };
    auto takeInt = [&](int& value) {
        if (nextArg >= args.size()) return false;
        const FormatArg& a = args[nextArg++];
        if (a.kind == FormatArg::Kind::Signed) value = static_cast<int>(a.i);
        else if (a.kind == FormatArg::Kind::Unsigned) value = static_cast<int>(a.u);
        else return false;
        return true;
    };

    size_t pos = 0;
    while (pos < fmt.size()) {
        const char16_t c = fmt[pos++];
        if (c != u'%') {
            result.push_back(c);
            continue;
        }
        if (pos >= fmt.size()) return fail();
        if (fmt[pos] == u'%') {
            result.push_back(u'%');
            ++pos;
            continue;
        }
        FormatSpec fs;
        for (; pos < fmt.size(); ++pos) {
            const char16_t f = fmt[pos];
            if (f == u'-') fs.left = true;
            else if (f == u'+') fs.plus = true;
            else if (f == u' ') fs.space = true;
            else if (f == u'0') fs.zero = true;
            else if (f == u'#') fs.alt = true;
            else break;
        }
        if (pos < fmt.size() && fmt[pos] == u'*') {
            ++pos;
            if (!takeInt(fs.width)) return fail();
            if (fs.width < 0) fs.left = true, fs.width = -fs.width;
        } else {
            while (pos < fmt.size() && fmt[pos] >= u'0' && fmt[pos] <= u'9') {
                fs.width = fs.width * 10 + (fmt[pos++] - u'0');
                if (fs.width > static_cast<int>(kMaxFormattedLength)) return fail();
            }
        }
        if (pos < fmt.size() && fmt[pos] == u'.') {
            ++pos;
            fs.precision = 0;
            if (pos < fmt.size() && fmt[pos] == u'*') {
                ++pos;
                if (!takeInt(fs.precision)) return fail();
            } else {
                while (pos < fmt.size() && fmt[pos] >= u'0' && fmt[pos] <= u'9') {
                    fs.precision = fs.precision * 10 + (fmt[pos++] - u'0');
                    if (fs.precision > static_cast<int>(kMaxFormattedLength)) return fail();
                }
            }
        }
        if (fs.width > static_cast<int>(kMaxFormattedLength)) return fail();
        // Length modifiers.
        while (pos < fmt.size()) {
            const char16_t m = fmt[pos];
            if (m == u'h') {
                fs.narrowText = true;
                ++pos;
            } else if (m == u'l') {
                if (pos + 1 < fmt.size() && fmt[pos + 1] == u'l') fs.wide64 = true, ++pos;
                ++pos;
            } else if (m == u'L' || m == u'q' || m == u'j' || m == u'z' || m == u't') {
                if (m != u'L') fs.wide64 = true;
                ++pos;
            } else if (m == u'I') {
                if (fmt.substr(pos, 3) == u"I64") fs.wide64 = true, pos += 3;
                else if (fmt.substr(pos, 3) == u"I32") pos += 3;
                else fs.wide64 = true, pos += 1;
            } else {
                break;
            }
        }
        if (pos >= fmt.size()) return fail();
        fs.conv = fmt[pos++];
        bool ok = true;
        switch (fs.conv) {
            case u'd':
            case u'i':
            case u'u':
            case u'x':
            case u'X':
            case u'o':
                ok = nextArg < args.size() && formatInteger(result, fs, args[nextArg++]);
                break;
            case u'f':
            case u'F':
            case u'e':
            case u'E':
            case u'g':
            case u'G':
                ok = nextArg < args.size() && formatFloat(result, fs, args[nextArg++]);
                break;
            case u's':
            case u'S':
                ok = nextArg < args.size() && formatString(result, fs, args[nextArg++]);
                break;
            case u'c': {
                if (nextArg >= args.size()) return fail();
                const FormatArg& a = args[nextArg++];
                if (a.kind != FormatArg::Kind::Signed && a.kind != FormatArg::Kind::Unsigned) return fail();
                const char16_t unit = static_cast<char16_t>(a.u & 0xFFFF);
                appendPaddedWide(result, fs, WStringView(&unit, 1));
                break;
            }
            case u'p': {
                if (nextArg >= args.size()) return fail();
                const FormatArg& a = args[nextArg++];
                if (a.kind != FormatArg::Kind::Pointer && a.kind != FormatArg::Kind::Unsigned && a.kind != FormatArg::Kind::Signed) return fail();
                char digits[32];
                auto r = std::to_chars(digits, digits + sizeof(digits), a.u, 16);
                std::string body(16 - static_cast<size_t>(r.ptr - digits), '0');
                body.append(digits, r.ptr);
                for (char& ch : body)
                    if (ch >= 'a') ch = static_cast<char>(ch - 'a' + 'A');
                appendPadded(result, fs, "", body, false);
                break;
            }
            default:
                return fail();
        }
        if (!ok || result.size() > kMaxFormattedLength) return fail();
    }
    if (result.size() > kMaxFormattedLength) return fail();
    out = std::move(result);
    return true;
}

namespace {

size_t skipBlanks(WStringView text) {
    size_t i = 0;
    while (i < text.size() && (text[i] == u' ' || text[i] == u'\t' || text[i] == u'\n' || text[i] == u'\r' || text[i] == u'\v' || text[i] == u'\f')) ++i;
    return i;
}

// The longest run of ASCII characters accepted by 'accept', as narrow text.
template <class Pred>
std::string takeAscii(WStringView text, size_t from, Pred accept) {
    std::string s;
    for (size_t i = from; i < text.size() && text[i] < 0x80 && accept(static_cast<char>(text[i])); ++i) s.push_back(static_cast<char>(text[i]));
    return s;
}

bool scanInteger(WStringView text, int base, bool allowSign, int64_t lo, int64_t hi, int64_t& value) {
    size_t i = skipBlanks(text);
    bool negative = false;
    if (allowSign && i < text.size() && (text[i] == u'+' || text[i] == u'-')) negative = text[i++] == u'-';
    if (base == 16 && i + 1 < text.size() && text[i] == u'0' && (text[i + 1] == u'x' || text[i + 1] == u'X')) {
        // "0x" is only a prefix when a hex digit follows it.
        if (i + 2 < text.size() && std::isxdigit(static_cast<int>(text[i + 2] & 0x7F)) && text[i + 2] < 0x80) i += 2;
    }
    std::string digits = takeAscii(text, i, [base](char c) { return base == 16 ? std::isxdigit(static_cast<unsigned char>(c)) != 0 : (c >= '0' && c <= '9'); });
    if (digits.empty()) return false;
    uint64_t magnitude = 0;
    bool overflow = false;
    for (char c : digits) {
        int d = c <= '9' ? c - '0' : (c | 0x20) - 'a' + 10;
        if (magnitude > (std::numeric_limits<uint64_t>::max() - static_cast<uint64_t>(d)) / static_cast<uint64_t>(base)) overflow = true;
        else magnitude = magnitude * static_cast<uint64_t>(base) + static_cast<uint64_t>(d);
    }
    if (negative) {
        value = overflow || magnitude > static_cast<uint64_t>(-lo) ? lo : -static_cast<int64_t>(magnitude);
    } else {
        value = overflow || magnitude > static_cast<uint64_t>(hi) ? hi : static_cast<int64_t>(magnitude);
    }
    return true;
}

}  // namespace

bool scanInt(WStringView text, int32_t& value) {
    int64_t v;
    if (!scanInteger(text, 10, true, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max(), v)) return false;
    value = static_cast<int32_t>(v);
    return true;
}

bool scanUnsigned(WStringView text, uint32_t& value) {
    int64_t v;
    size_t i = skipBlanks(text);
    bool negative = i < text.size() && text[i] == u'-';
    if (!scanInteger(text, 10, true, -static_cast<int64_t>(std::numeric_limits<uint32_t>::max()), std::numeric_limits<uint32_t>::max(), v)) return false;
    value = negative ? static_cast<uint32_t>(-static_cast<uint32_t>(-v)) : static_cast<uint32_t>(v);
    return true;
}

bool scanHex(WStringView text, uint32_t& value) {
    int64_t v;
    if (!scanInteger(text, 16, false, 0, std::numeric_limits<uint32_t>::max(), v)) return false;
    value = static_cast<uint32_t>(v);
    return true;
}

bool scanDouble(WStringView text, double& value) {
    size_t i = skipBlanks(text);
    bool negative = false;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) negative = text[i++] == u'-';
    std::string s = takeAscii(text, i, [](char c) { return (c >= '0' && c <= '9') || c == '.' || c == 'e' || c == 'E' || c == '+' || c == '-' || std::isalpha(static_cast<unsigned char>(c)); });
    double v = 0;
    auto r = std::from_chars(s.data(), s.data() + s.size(), v, std::chars_format::general);
    if (r.ec == std::errc::invalid_argument || r.ptr == s.data()) return false;
    if (r.ec == std::errc::result_out_of_range) {
        // Keep the direction of the overflow or underflow.
        bool tiny = s.find_first_of("eE") != std::string::npos && s.find("e-") != std::string::npos;
        v = tiny ? 0.0 : std::numeric_limits<double>::infinity();
    }
    value = negative ? -v : v;
    return true;
}

void replaceAll(WString& text, WStringView pattern, WStringView replacement) {
    if (pattern.empty()) return;
    size_t pos = 0;
    while ((pos = text.find(pattern, pos)) != WString::npos) {
        text.replace(pos, pattern.size(), replacement);
        pos += replacement.size();
    }
}

void trim(WString& text) {
    constexpr WStringView blanks = u" \t\r\n";
    const size_t first = text.find_first_not_of(blanks);
    if (first == WString::npos) {
        text.clear();
        return;
    }
    const size_t last = text.find_last_not_of(blanks);
    text = text.substr(first, last - first + 1);
}

std::vector<WString> splitLines(WStringView text) {
    std::vector<WString> lines;
    size_t start = 0;
    while (start < text.size()) {
        const size_t nl = text.find(u'\n', start);
        if (nl == WStringView::npos) break;
        size_t end = nl;
        if (end > start && text[end - 1] == u'\r') --end;
        lines.emplace_back(text.substr(start, end - start));
        start = nl + 1;
    }
    if (start < text.size()) lines.emplace_back(text.substr(start));
    return lines;
}

WString getFileName(WStringView path) {
    const size_t sep = path.find_last_of(u"\\/");
    return WString(sep == WStringView::npos ? path : path.substr(sep + 1));
}

WString utf8ToWide(std::string_view text) {
    WString out;
    out.reserve(text.size());
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    const size_t n = text.size();
    size_t i = 0;
    auto continuation = [&](size_t k) { return i + k < n && (p[i + k] & 0xC0) == 0x80; };
    while (i < n) {
        const unsigned char lead = p[i];
        if (lead < 0x80) {
            out.push_back(lead);
            i += 1;
        } else if ((lead & 0xE0) == 0xC0 && continuation(1)) {
            out.push_back(static_cast<char16_t>(((lead & 0x1F) << 6) | (p[i + 1] & 0x3F)));
            i += 2;
        } else if ((lead & 0xF0) == 0xE0 && continuation(1) && continuation(2)) {
            out.push_back(static_cast<char16_t>(((lead & 0x0F) << 12) | ((p[i + 1] & 0x3F) << 6) | (p[i + 2] & 0x3F)));
            i += 3;
        } else if ((lead & 0xF8) == 0xF0 && continuation(1) && continuation(2) && continuation(3)) {
            const uint32_t cp = ((lead & 0x07u) << 18) | ((p[i + 1] & 0x3Fu) << 12) | ((p[i + 2] & 0x3Fu) << 6) | (p[i + 3] & 0x3Fu);
            if (cp >= 0x10000 && cp <= 0x10FFFF) {
                out.push_back(static_cast<char16_t>(0xD800 + ((cp - 0x10000) >> 10)));
                out.push_back(static_cast<char16_t>(0xDC00 + ((cp - 0x10000) & 0x3FF)));
            } else {
                out.push_back(u'\xFFFD');
            }
            i += 4;
        } else {
            out.push_back(u'\xFFFD');
            i += 1;
        }
    }
    return out;
}

WString utf8ToWide(const char* nulEnded) {
    return nulEnded ? utf8ToWide(std::string_view(nulEnded)) : WString();
}

std::string wideToUtf8(WStringView text) {
    std::string out;
    out.reserve(text.size() * 3);
    for (size_t i = 0; i < text.size(); ++i) {
        uint32_t c = text[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00u);
            ++i;
        }
        if (c < 0x80) {
            out.push_back(static_cast<char>(c));
        } else if (c < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (c >> 6)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        } else if (c < 0x10000) {
            out.push_back(static_cast<char>(0xE0 | (c >> 12)));
            out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xF0 | (c >> 18)));
            out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        }
    }
    return out;
}

WString toLowerAscii(WStringView text) {
    WString out(text);
    for (char16_t& c : out)
        if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c - u'A' + u'a');
    return out;
}

bool equalsIgnoreCaseAscii(WStringView a, WStringView b) {
    return a.size() == b.size() && toLowerAscii(a) == toLowerAscii(b);
}
