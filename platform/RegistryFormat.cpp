#include "platform/RegistryFormat.h"

#include "platform/Registry.h"

#include <algorithm>
#include <charconv>

namespace {

constexpr char kHeaderLine[] = "LyrexRegistry 1";
constexpr char kEndLine[] = "end";
constexpr std::size_t kBytesPerLine = 32;

char16_t FoldAscii(char16_t c) { return (c >= u'A' && c <= u'Z') ? char16_t(c + 32) : c; }

bool IsHighSurrogate(char32_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLowSurrogate(char32_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

const char kHex[] = "0123456789abcdef";

void AppendHex(std::string& out, unsigned value, int digits) {
    for (int i = digits - 1; i >= 0; --i) out += kHex[(value >> (4 * i)) & 0xF];
}

void AppendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += char(cp);
    } else if (cp < 0x800) {
        out += char(0xC0 | (cp >> 6));
        out += char(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += char(0xE0 | (cp >> 12));
        out += char(0x80 | ((cp >> 6) & 0x3F));
        out += char(0x80 | (cp & 0x3F));
    } else {
        out += char(0xF0 | (cp >> 18));
        out += char(0x80 | ((cp >> 12) & 0x3F));
        out += char(0x80 | ((cp >> 6) & 0x3F));
        out += char(0x80 | (cp & 0x3F));
    }
}

// Writes UTF-16 text as UTF-8, escaping the escape character, the quote (when there is one),
// control characters and lone surrogates, so that any sequence of UTF-16 units comes back.
void AppendEscaped(std::string& out, std::u16string_view s, char esc, char quote) {
    for (std::size_t i = 0; i < s.size(); ++i) {
        char32_t c = s[i];
        if (IsHighSurrogate(c) && i + 1 < s.size() && IsLowSurrogate(s[i + 1])) {
            AppendUtf8(out, 0x10000 + ((c - 0xD800) << 10) + (s[i + 1] - 0xDC00));
            ++i;
        } else if (IsHighSurrogate(c) || IsLowSurrogate(c)) {
            out += esc;
            out += 'u';
            AppendHex(out, unsigned(c), 4);
        } else if (c == char32_t(esc) || (quote && c == char32_t(quote))) {
            out += esc;
            out += char(c);
        } else if (c < 0x20 || c == 0x7F) {
            out += esc;
            out += 'x';
            AppendHex(out, unsigned(c), 2);
        } else {
            AppendUtf8(out, c);
        }
    }
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

bool ReadHex(std::string_view in, std::size_t& pos, int digits, unsigned* value) {
    if (pos + std::size_t(digits) > in.size()) return false;
    unsigned v = 0;
    for (int i = 0; i < digits; ++i) {
        int d = HexDigit(in[pos + std::size_t(i)]);
        if (d < 0) return false;
        v = (v << 4) | unsigned(d);
    }
    pos += std::size_t(digits);
    *value = v;
    return true;
}

// Strict UTF-8: no overlong forms, no surrogates, nothing above U+10FFFF.
bool ReadUtf8(std::string_view in, std::size_t& pos, char32_t* cp) {
    auto byte = [&](std::size_t i) { return std::uint8_t(in[i]); };
    std::uint8_t b0 = byte(pos);
    int extra;
    char32_t c;
    if (b0 < 0x80) {
        *cp = b0;
        ++pos;
        return true;
    } else if (b0 >= 0xC2 && b0 <= 0xDF) {
        extra = 1;
        c = b0 & 0x1F;
    } else if (b0 >= 0xE0 && b0 <= 0xEF) {
        extra = 2;
        c = b0 & 0x0F;
    } else if (b0 >= 0xF0 && b0 <= 0xF4) {
        extra = 3;
        c = b0 & 0x07;
    } else {
        return false;
    }
    if (pos + std::size_t(extra) >= in.size()) return false;
    for (int i = 1; i <= extra; ++i) {
        std::uint8_t b = byte(pos + std::size_t(i));
        if ((b & 0xC0) != 0x80) return false;
        c = (c << 6) | (b & 0x3F);
    }
    if ((extra == 2 && c < 0x800) || (extra == 3 && (c < 0x10000 || c > 0x10FFFF)) ||
        (c >= 0xD800 && c <= 0xDFFF))
        return false;
    pos += std::size_t(extra) + 1;
    *cp = c;
    return true;
}

// Reads escaped text up to the closing quote (consumed) or, without a quote, to the end.
bool ReadEscaped(std::string_view in, std::size_t& pos, char esc, char quote, std::u16string* out) {
    out->clear();
    while (pos < in.size()) {
        char ch = in[pos];
        if (quote && ch == quote) {
            ++pos;
            return true;
        }
        if (ch == esc) {
            if (++pos >= in.size()) return false;
            char kind = in[pos++];
            unsigned v;
            if (kind == esc || (quote && kind == quote)) {
                out->push_back(char16_t(kind));
            } else if (kind == 'x') {
                if (!ReadHex(in, pos, 2, &v)) return false;
                out->push_back(char16_t(v));
            } else if (kind == 'u') {
                if (!ReadHex(in, pos, 4, &v)) return false;
                out->push_back(char16_t(v));
            } else {
                return false;
            }
            continue;
        }
        if (std::uint8_t(ch) < 0x20 || ch == 0x7F) return false;
        char32_t cp;
        if (!ReadUtf8(in, pos, &cp)) return false;
        if (cp >= 0x10000) {
            out->push_back(char16_t(0xD800 + ((cp - 0x10000) >> 10)));
            out->push_back(char16_t(0xDC00 + ((cp - 0x10000) & 0x3FF)));
        } else {
            out->push_back(char16_t(cp));
        }
    }
    return quote == 0;
}

bool IsCleanString(const RegistryValue& v) {
    if (v.type != REG_SZ && v.type != REG_EXPAND_SZ) return false;
    const auto& d = v.data;
    if (d.size() < 2 || d.size() % 2 != 0) return false;
    std::size_t units = d.size() / 2;
    for (std::size_t i = 0; i < units; ++i) {
        bool zero = d[2 * i] == 0 && d[2 * i + 1] == 0;
        if (zero != (i == units - 1)) return false;
    }
    return true;
}

std::u16string DataAsText(const std::vector<std::uint8_t>& d) {
    std::u16string s;
    for (std::size_t i = 0; i + 2 < d.size(); i += 2) s.push_back(char16_t(d[i] | (d[i + 1] << 8)));
    return s;
}

void AppendBytes(std::string& out, const std::vector<std::uint8_t>& d) {
    for (std::size_t i = 0; i < d.size(); ++i) {
        if (i % kBytesPerLine == 0) out += "\n ";
        out += ' ';
        AppendHex(out, d[i], 2);
    }
}

void AppendValue(std::string& out, const RegistryValue& v) {
    out += '"';
    AppendEscaped(out, v.name, '\\', '"');
    out += "\"=";
    if (IsCleanString(v)) {
        out += v.type == REG_SZ ? "sz:\"" : "expand_sz:\"";
        AppendEscaped(out, DataAsText(v.data), '\\', '"');
        out += '"';
    } else if (v.type == REG_DWORD && v.data.size() == 4) {
        out += "dword:";
        AppendHex(out, unsigned(v.data[0]) | unsigned(v.data[1]) << 8 | unsigned(v.data[2]) << 16 |
                           unsigned(v.data[3]) << 24, 8);
    } else {
        if (v.type == REG_BINARY) {
            out += "binary:";
        } else {
            out += "hex(" + std::to_string(v.type) + "):";
        }
        out += std::to_string(v.data.size());
        AppendBytes(out, v.data);
    }
    out += '\n';
}

void AppendKey(std::string& out, const RegistryKeyNode& key, const std::string& path, bool isRoot) {
    if (!isRoot || !key.values.empty()) {
        out += "\n[" + path + "]\n";
        for (const RegistryValue& v : key.values) AppendValue(out, v);
    }
    for (const RegistryKeyNode& sub : key.subKeys) {
        std::string subPath = path;
        if (!isRoot) subPath += '\\';
        AppendEscaped(subPath, sub.name, '%', 0);
        AppendKey(out, sub, subPath, false);
    }
}

struct Parser {
    RegistryKeyNode* root;
    std::string* error;
    int lineNumber = 0;

    bool Fail(const std::string& what) {
        if (error) *error = "line " + std::to_string(lineNumber) + ": " + what;
        return false;
    }
};

bool ParseSectionPath(std::string_view inner, std::vector<std::u16string>* names) {
    names->clear();
    if (inner.empty()) return true;
    std::size_t start = 0;
    for (;;) {
        std::size_t end = inner.find('\\', start);
        std::string_view part = inner.substr(start, end == std::string_view::npos ? end : end - start);
        std::size_t pos = 0;
        std::u16string name;
        if (part.empty() || !ReadEscaped(part, pos, '%', 0, &name) || name.empty()) return false;
        names->push_back(std::move(name));
        if (end == std::string_view::npos) return true;
        start = end + 1;
    }
}

bool ParseNumber(std::string_view s, unsigned long long* value) {
    if (s.empty()) return false;
    auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), *value);
    return ec == std::errc() && p == s.data() + s.size();
}

}  // namespace

int CompareRegistryNames(std::u16string_view a, std::u16string_view b) {
    std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        char16_t x = FoldAscii(a[i]), y = FoldAscii(b[i]);
        if (x != y) return x < y ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

bool RegistryNamesEqual(std::u16string_view a, std::u16string_view b) {
    return a.size() == b.size() && CompareRegistryNames(a, b) == 0;
}

RegistryKeyNode* RegistryKeyNode::FindSubKey(std::u16string_view keyName) {
    auto it = std::lower_bound(subKeys.begin(), subKeys.end(), keyName,
                               [](const RegistryKeyNode& k, std::u16string_view n) {
                                   return CompareRegistryNames(k.name, n) < 0;
                               });
    return (it != subKeys.end() && RegistryNamesEqual(it->name, keyName)) ? &*it : nullptr;
}

const RegistryKeyNode* RegistryKeyNode::FindSubKey(std::u16string_view keyName) const {
    return const_cast<RegistryKeyNode*>(this)->FindSubKey(keyName);
}

RegistryKeyNode& RegistryKeyNode::SubKey(std::u16string_view keyName, bool* created) {
    auto it = std::lower_bound(subKeys.begin(), subKeys.end(), keyName,
                               [](const RegistryKeyNode& k, std::u16string_view n) {
                                   return CompareRegistryNames(k.name, n) < 0;
                               });
    if (it != subKeys.end() && RegistryNamesEqual(it->name, keyName)) {
        if (created) *created = false;
        return *it;
    }
    RegistryKeyNode node;
    node.name = std::u16string(keyName);
    if (created) *created = true;
    return *subKeys.insert(it, std::move(node));
}

bool RegistryKeyNode::RemoveSubKey(std::u16string_view keyName) {
    RegistryKeyNode* k = FindSubKey(keyName);
    if (!k) return false;
    subKeys.erase(subKeys.begin() + (k - subKeys.data()));
    return true;
}

RegistryValue* RegistryKeyNode::FindValue(std::u16string_view valueName) {
    for (RegistryValue& v : values)
        if (RegistryNamesEqual(v.name, valueName)) return &v;
    return nullptr;
}

const RegistryValue* RegistryKeyNode::FindValue(std::u16string_view valueName) const {
    return const_cast<RegistryKeyNode*>(this)->FindValue(valueName);
}

void RegistryKeyNode::SetValue(std::u16string_view valueName, DWORD type,
                               std::vector<std::uint8_t> data) {
    if (RegistryValue* v = FindValue(valueName)) {
        v->type = type;
        v->data = std::move(data);
        return;
    }
    values.push_back(RegistryValue{std::u16string(valueName), type, std::move(data)});
}

bool RegistryKeyNode::RemoveValue(std::u16string_view valueName) {
    RegistryValue* v = FindValue(valueName);
    if (!v) return false;
    values.erase(values.begin() + (v - values.data()));
    return true;
}

std::string SerializeRegistry(const RegistryKeyNode& root) {
    std::string out = kHeaderLine;
    out += '\n';
    AppendKey(out, root, std::string(), true);
    out += kEndLine;
    out += '\n';
    return out;
}

bool ParseRegistry(std::string_view text, RegistryKeyNode* root, std::string* error) {
    *root = RegistryKeyNode();
    Parser p{root, error};
    RegistryKeyNode* current = nullptr;
    RegistryValue* pending = nullptr;   // binary data still to come
    std::size_t pendingCount = 0;
    bool sawHeader = false, sawEnd = false;

    auto fail = [&](const std::string& what) {
        p.Fail(what);
        *root = RegistryKeyNode();
        return false;
    };

    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t nl = text.find('\n', pos);
        if (nl == std::string_view::npos) return fail("the last line has no line end");
        std::string_view line = text.substr(pos, nl - pos);
        pos = nl + 1;
        ++p.lineNumber;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);

        if (!sawHeader) {
            if (line != kHeaderLine) return fail("not a settings store (no \"LyrexRegistry 1\" line)");
            sawHeader = true;
            continue;
        }
        bool blank = line.find_first_not_of(" \t") == std::string_view::npos;
        if (sawEnd) {
            if (!blank) return fail("text after the end line");
            continue;
        }
        if (pending && pendingCount > 0) {
            if (line.empty() || (line[0] != ' ' && line[0] != '\t'))
                return fail("binary data ends early");
            std::size_t i = 0;
            while (i < line.size()) {
                if (line[i] == ' ' || line[i] == '\t') {
                    ++i;
                    continue;
                }
                unsigned b;
                if (pendingCount == 0 || !ReadHex(line, i, 2, &b) ||
                    (i < line.size() && line[i] != ' ' && line[i] != '\t'))
                    return fail("bad byte in binary data");
                pending->data.push_back(std::uint8_t(b));
                --pendingCount;
            }
            if (pendingCount == 0) pending = nullptr;
            continue;
        }
        if (blank || line[0] == ';' || line[0] == '#') continue;
        if (line == kEndLine) {
            sawEnd = true;
            continue;
        }
        if (line[0] == '[') {
            if (line.back() != ']') return fail("a key line must end with \"]\"");
            std::vector<std::u16string> names;
            if (!ParseSectionPath(line.substr(1, line.size() - 2), &names)) return fail("bad key name");
            current = root;
            for (const auto& n : names) current = &current->SubKey(n);
            continue;
        }
        if (line[0] != '"') return fail("unexpected line");
        if (!current) return fail("a value before the first key");
        std::size_t i = 1;
        std::u16string name;
        if (!ReadEscaped(line, i, '\\', '"', &name)) return fail("bad value name");
        if (i >= line.size() || line[i] != '=') return fail("\"=\" expected after the value name");
        ++i;
        if (current->FindValue(name)) return fail("the value is set twice");
        std::string_view rest = line.substr(i);
        std::size_t colon = rest.find(':');
        if (colon == std::string_view::npos) return fail("value type expected");
        std::string_view kind = rest.substr(0, colon);
        std::string_view data = rest.substr(colon + 1);
        if (kind == "sz" || kind == "expand_sz") {
            std::size_t j = 0;
            std::u16string s;
            if (data.empty() || data[0] != '"') return fail("quoted text expected");
            ++j;
            if (!ReadEscaped(data, j, '\\', '"', &s) || j != data.size()) return fail("bad text value");
            std::vector<std::uint8_t> bytes;
            bytes.reserve(2 * s.size() + 2);
            for (char16_t c : s) {
                if (c == 0) return fail("a zero inside a text value");
                bytes.push_back(std::uint8_t(c));
                bytes.push_back(std::uint8_t(c >> 8));
            }
            bytes.push_back(0);
            bytes.push_back(0);
            current->values.push_back({std::move(name), kind == "sz" ? REG_SZ : REG_EXPAND_SZ,
                                       std::move(bytes)});
        } else if (kind == "dword") {
            std::size_t j = 0;
            unsigned v;
            if (!ReadHex(data, j, 8, &v) || j != data.size()) return fail("bad number value");
            current->values.push_back({std::move(name), REG_DWORD,
                                       {std::uint8_t(v), std::uint8_t(v >> 8),
                                        std::uint8_t(v >> 16), std::uint8_t(v >> 24)}});
        } else {
            DWORD type;
            unsigned long long count, t;
            if (kind == "binary") {
                type = REG_BINARY;
            } else if (kind.size() > 5 && kind.substr(0, 4) == "hex(" && kind.back() == ')' &&
                       ParseNumber(kind.substr(4, kind.size() - 5), &t) && t <= 0xFFFFFFFFull) {
                type = DWORD(t);
            } else {
                return fail("unknown value type");
            }
            if (!ParseNumber(data, &count) || count > text.size()) return fail("bad byte count");
            current->values.push_back({std::move(name), type, {}});
            pending = &current->values.back();
            pending->data.reserve(std::size_t(count));
            pendingCount = std::size_t(count);
            if (pendingCount == 0) pending = nullptr;
        }
    }
    if (!sawHeader) return fail("empty file");
    if (pending) return fail("binary data ends early");
    if (!sawEnd) return fail("the file ends before its end line");
    return true;
}
