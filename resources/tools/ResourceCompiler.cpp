// Build-time resource compiler: turns the string tables under strings/ and the typed
// resources listed in typed/index.txt into one C++ source of constant arrays.
//
//   lyrex_rescomp --output <file.cpp> --typed <index.txt> --strings <language> <file> ...
//
// Any problem in the data stops the build with a message naming the file and line.

#include "resources/StringTableFormat.h"

#include <cctype>
#include <cstdint>
#include <cstdlib>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

[[noreturn]] void Fail(const std::string& where, const std::string& message) {
    std::cerr << where << ": error: " << message << "\n";
    std::exit(1);
}

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) Fail(path.string(), "cannot be read");
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

std::string CLiteral(const std::string& bytes) {
    std::string out = "\"";
    for (unsigned char c : bytes) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += char(c);
        } else if (c >= 0x20 && c < 0x7F && c != '?') {
            out += char(c);
        } else {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\%03o", c);
            out += buf;
        }
    }
    return out + "\"";
}

struct Typed {
    std::uint32_t type;
    std::int32_t id;
    std::string typeText;
    std::string bytes;
};

// "TIFF", or with \x20 for a blank ("BMP\x20").
bool ParseType(const std::string& field, std::uint32_t* type, std::string* text) {
    std::string chars;
    for (size_t i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size() && field[i + 1] == 'x' &&
            std::isxdigit(static_cast<unsigned char>(field[i + 2])) &&
            std::isxdigit(static_cast<unsigned char>(field[i + 3]))) {
            chars += char(std::stoi(field.substr(i + 2, 2), nullptr, 16));
            i += 3;
        } else {
            chars += field[i];
        }
    }
    if (chars.size() != 4) return false;
    for (char c : chars)
        if (c < 0x20 || c > 0x7E) return false;
    *type = (std::uint32_t(std::uint8_t(chars[0])) << 24) | (std::uint32_t(std::uint8_t(chars[1])) << 16) |
            (std::uint32_t(std::uint8_t(chars[2])) << 8) | std::uint8_t(chars[3]);
    *text = chars;
    return true;
}

std::vector<Typed> ReadTypedIndex(const fs::path& index) {
    std::vector<Typed> out;
    std::set<std::pair<std::uint32_t, std::int32_t>> seen;
    std::istringstream in(ReadFile(index));
    std::string line;
    int lineNo = 0;
    while (std::getline(in, line)) {
        ++lineNo;
        std::string where = index.string() + ":" + std::to_string(lineNo);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.find_first_not_of(" \t") == std::string::npos || line[0] == '#') continue;
        std::vector<std::string> fields;
        std::istringstream ls(line);
        std::string f;
        while (std::getline(ls, f, '\t')) fields.push_back(f);
        if (fields.size() != 3) Fail(where, "expected <type><TAB><id><TAB><file>");
        Typed t;
        if (!ParseType(fields[0], &t.type, &t.typeText)) Fail(where, "the type must be four printable characters");
        try {
            size_t used = 0;
            long id = std::stol(fields[1], &used);
            if (used != fields[1].size() || id < -32768 || id > 65535) throw std::out_of_range("id");
            t.id = std::int32_t(id);
        } catch (...) {
            Fail(where, "the id must be a number from -32768 to 65535");
        }
        if (!seen.insert({t.type, t.id}).second) Fail(where, "type and id given twice");
        t.bytes = ReadFile(index.parent_path() / fields[2]);
        out.push_back(std::move(t));
    }
    return out;
}

std::string Identifier(const std::string& language) {
    std::string id;
    for (char c : language) id += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
    return id;
}

}  // namespace

int main(int argc, char** argv) {
    fs::path output, typedIndex;
    std::map<std::string, fs::path> languages;
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        if (a == "--output" && i + 1 < argc) {
            output = argv[++i];
        } else if (a == "--typed" && i + 1 < argc) {
            typedIndex = argv[++i];
        } else if (a == "--strings" && i + 2 < argc) {
            std::string lang = argv[++i];
            if (!languages.emplace(lang, argv[++i]).second) Fail(lang, "language given twice");
        } else {
            Fail("lyrex_rescomp", "unknown argument " + a);
        }
    }
    if (output.empty()) Fail("lyrex_rescomp", "no --output");
    if (!languages.count("en")) Fail("lyrex_rescomp", "the English table (en) is missing");

    std::ostringstream src;
    src << "// Generated by the resource compiler from the files under resources/. Do not edit.\n"
        << "#include \"resources/ResourceStore.h\"\n\nnamespace {\n\n";
    for (const auto& [lang, path] : languages) {
        std::vector<StringTableEntry> entries;
        StringTableError error;
        if (!ParseStringTable(ReadFile(path), &entries, &error))
            Fail(path.string() + (error.line ? ":" + std::to_string(error.line) : ""), error.message);
        src << "const ResStringEntry kStrings_" << Identifier(lang) << "[] = {\n";
        for (const auto& e : entries) {
            if (e.text.size() > 65535) Fail(path.string(), "string " + std::to_string(e.id) + " is too long");
            src << "    {" << e.id << ", " << e.text.size() << ", " << CLiteral(e.text) << "},\n";
        }
        if (entries.empty()) src << "    {0, 0, \"\"},\n";
        src << "};\nconstexpr std::size_t kStringsCount_" << Identifier(lang) << " = " << entries.size() << ";\n\n";
    }
    std::vector<Typed> typed;
    if (!typedIndex.empty()) typed = ReadTypedIndex(typedIndex);
    for (size_t i = 0; i < typed.size(); ++i) {
        if (typed[i].bytes.empty()) continue;
        src << "// '" << typed[i].typeText << "' " << typed[i].id << "\n";
        src << "const unsigned char kTyped" << i << "[] = {";
        for (size_t k = 0; k < typed[i].bytes.size(); ++k) {
            if (k % 16 == 0) src << "\n   ";
            char buf[8];
            std::snprintf(buf, sizeof buf, " 0x%02X,", std::uint8_t(typed[i].bytes[k]));
            src << buf;
        }
        src << "\n};\n";
    }
    src << "\n}  // namespace\n\n";
    src << "extern const ResStringTable kResStringTables[] = {\n";
    for (const auto& [lang, path] : languages)
        src << "    {" << CLiteral(lang) << ", kStrings_" << Identifier(lang) << ", kStringsCount_"
            << Identifier(lang) << "},\n";
    src << "};\nextern const std::size_t kResStringTableCount = " << languages.size() << ";\n\n";
    src << "extern const ResTypedResource kResTypedResources[] = {\n";
    for (size_t i = 0; i < typed.size(); ++i) {
        src << "    {0x" << std::hex << typed[i].type << std::dec << "u, " << typed[i].id << ", "
            << (typed[i].bytes.empty() ? std::string("nullptr") : "kTyped" + std::to_string(i)) << ", "
            << typed[i].bytes.size() << "},\n";
    }
    if (typed.empty()) src << "    {0, 0, nullptr, 0},\n";
    src << "};\nextern const std::size_t kResTypedResourceCount = " << typed.size() << ";\n";

    std::string text = src.str();
    std::error_code ec;
    fs::create_directories(output.parent_path(), ec);
    std::ofstream out(output, std::ios::binary | std::ios::trunc);
    out << text;
    if (!out) Fail(output.string(), "cannot be written");
    return 0;
}
