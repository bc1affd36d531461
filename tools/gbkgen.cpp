// Build-time tool: turns a list of named UTF-8 texts into a header of GBK byte-string constants.
//
// Input lines:   Name = text      (backslash escapes \r \n \t \\ \" are honoured)
//                # comment, or blank
// Output:        namespace <ns> { inline constexpr char Name[] = "<GBK bytes>"; ... }
#include <iconv.h>

#include <cctype>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>

namespace {

bool unescape(const std::string& in, std::string& out) {
    out.clear();
    for (size_t i = 0; i < in.size(); ++i) {
        if (in[i] != '\\') { out += in[i]; continue; }
        if (++i == in.size()) return false;
        switch (in[i]) {
            case 'r': out += '\r'; break;
            case 'n': out += '\n'; break;
            case 't': out += '\t'; break;
            case '\\': out += '\\'; break;
            case '"': out += '"'; break;
            case 's': out += ' '; break;  // a blank that trailing-space trimming must keep
            default: return false;
        }
    }
    return true;
}

bool toGbk(const std::string& utf8, std::string& gbk) {
    iconv_t cd = iconv_open("GBK", "UTF-8");
    if (cd == reinterpret_cast<iconv_t>(-1)) return false;
    std::string buffer(utf8.size() * 2 + 4, '\0');
    char* in = const_cast<char*>(utf8.data());
    size_t inLeft = utf8.size();
    char* out = buffer.data();
    size_t outLeft = buffer.size();
    size_t rc = iconv(cd, &in, &inLeft, &out, &outLeft);
    iconv_close(cd);
    if (rc == static_cast<size_t>(-1)) return false;
    gbk.assign(buffer.data(), buffer.size() - outLeft);
    return true;
}

std::string cLiteral(const std::string& bytes) {
    std::string lit = "\"";
    bool afterHex = false;
    for (unsigned char c : bytes) {
        bool plain = c >= 0x20 && c < 0x7F && c != '"' && c != '\\' && c != '?';
        if (plain && !(afterHex && std::isxdigit(c))) {
            lit += static_cast<char>(c);
            afterHex = false;
        } else if (plain) {
            lit += "\"\"";
            lit += static_cast<char>(c);
            afterHex = false;
        } else {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02X", c);
            lit += hex;
            afterHex = true;
        }
    }
    return lit + "\"";
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::cerr << "usage: gbkgen INPUT.txt OUTPUT.h NAMESPACE\n";
        return 2;
    }
    std::ifstream input(argv[1]);
    if (!input) { std::cerr << argv[1] << ": cannot read\n"; return 1; }
    std::ostringstream header;
    header << "// Generated from " << argv[1] << " by gbkgen: GBK byte strings. Do not edit.\n"
           << "#pragma once\n\nnamespace " << argv[3] << " {\n";
    std::string line;
    int lineNo = 0;
    while (std::getline(input, line)) {
        ++lineNo;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        size_t first = line.find_first_not_of(" \t");
        if (first == std::string::npos || line[first] == '#') continue;
        size_t eq = line.find(" = ");
        if (eq == std::string::npos) {
            // "Name =" with nothing after it is the empty text.
            if (line.size() >= 2 && line.compare(line.size() - 2, 2, " =") == 0) eq = line.size() - 2;
            else { std::cerr << argv[1] << ":" << lineNo << ": expected 'Name = text'\n"; return 1; }
        }
        std::string name = line.substr(first, eq - first);
        std::string raw = eq + 3 <= line.size() ? line.substr(eq + 3) : std::string();
        std::string text, gbk;
        if (!unescape(raw, text)) { std::cerr << argv[1] << ":" << lineNo << ": bad escape\n"; return 1; }
        if (!toGbk(text, gbk)) { std::cerr << argv[1] << ":" << lineNo << ": not representable in GBK\n"; return 1; }
        header << "inline constexpr char " << name << "[] = " << cLiteral(gbk) << ";\n";
    }
    header << "}  // namespace " << argv[3] << "\n";
    // Write only when changed so that dependants are not rebuilt needlessly.
    std::ifstream old(argv[2]);
    std::ostringstream oldText;
    oldText << old.rdbuf();
    if (old && oldText.str() == header.str()) return 0;
    std::ofstream output(argv[2]);
    output << header.str();
    return output ? 0 : 1;
}
