// Build-time generator: turns the string-table text files into the C++ source of XelLan.
//
// Table file form, one text a line:
//   1234 "text"      id, blanks, a quoted text; \n line feed, \t tab, \" quote, \\ backslash
//   # comment        blank lines and comments are skipped
// An id given twice, or a line that does not parse, fails the build.
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <map>
#include <sstream>
#include <string>

namespace {

bool ParseLine(const std::string& line, unsigned& id, std::string& text, std::string& error)
{
    std::size_t i = 0;
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t'))
        ++i;
    std::size_t start = i;
    while (i < line.size() && line[i] >= '0' && line[i] <= '9')
        ++i;
    if (i == start) {
        error = "missing id";
        return false;
    }
    // Checked on the digits, so a long number cannot wrap round to a valid id.
    std::size_t first = start;
    while (first + 1 < i && line[first] == '0')
        ++first;
    if (i - first > 5 || std::strtoul(line.substr(first, i - first).c_str(), nullptr, 10) > 65535) {
        error = "id above 65535";
        return false;
    }
    id = unsigned(std::strtoul(line.substr(first, i - first).c_str(), nullptr, 10));
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t'))
        ++i;
    if (i >= line.size() || line[i] != '"') {
        error = "missing opening quote";
        return false;
    }
    ++i;
    text.clear();
    for (; i < line.size(); ++i) {
        char c = line[i];
        if (c == '"') {
            std::size_t j = i + 1;
            while (j < line.size() && (line[j] == ' ' || line[j] == '\t' || line[j] == '\r'))
                ++j;
            if (j != line.size()) {
                error = "text after closing quote";
                return false;
            }
            return true;
        }
        if (c == '\\' && i + 1 < line.size()) {
            char n = line[++i];
            switch (n) {
            case 'n': text += '\n'; break;
            case 't': text += '\t'; break;
            case '"': text += '"'; break;
            case '\\': text += '\\'; break;
            default:
                error = "unknown escape";
                return false;
            }
            continue;
        }
        text += c;
    }
    error = "missing closing quote";
    return false;
}

// The library hands its texts out as UTF-8; a table saved in another encoding must not
// slip through as garbled text.
bool IsUtf8(const std::string& s)
{
    std::size_t i = 0;
    while (i < s.size()) {
        const unsigned char c = static_cast<unsigned char>(s[i]);
        std::size_t more = 0;
        unsigned long cp = 0;
        if (c < 0x80) {
            ++i;
            continue;
        } else if (c >= 0xC2 && c <= 0xDF) {
            more = 1;
            cp = c & 0x1F;
        } else if (c >= 0xE0 && c <= 0xEF) {
            more = 2;
            cp = c & 0x0F;
        } else if (c >= 0xF0 && c <= 0xF4) {
            more = 3;
            cp = c & 0x07;
        } else {
            return false;
        }
        if (i + more >= s.size())
            return false;
        for (std::size_t k = 1; k <= more; ++k) {
            const unsigned char d = static_cast<unsigned char>(s[i + k]);
            if ((d & 0xC0) != 0x80)
                return false;
            cp = (cp << 6) | (d & 0x3F);
        }
        if ((more == 2 && (cp < 0x800 || (cp >= 0xD800 && cp <= 0xDFFF))) || (more == 3 && (cp < 0x10000 || cp > 0x10FFFF)))
            return false;
        i += more + 1;
    }
    return true;
}

void WriteCString(std::ostream& out, const std::string& s)
{
    out << '"';
    for (unsigned char c : s) {
        if (c == '"' || c == '\\')
            out << '\\' << c;
        else if (c == '\n')
            out << "\\n";
        else if (c == '\t')
            out << "\\t";
        else if (c < 32 || c >= 127) {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\%03o", c);
            out << buf;
        } else
            out << c;
    }
    out << '"';
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::cerr << "usage: lanc OUTPUT.cpp TABLE...\n";
        return 2;
    }
    std::map<unsigned, std::string> texts;
    for (int a = 2; a < argc; ++a) {
        std::ifstream in(argv[a]);
        if (!in) {
            std::cerr << argv[a] << ": cannot open\n";
            return 1;
        }
        std::string line;
        int lineNo = 0;
        while (std::getline(in, line)) {
            ++lineNo;
            if (lineNo == 1 && line.compare(0, 3, "\xEF\xBB\xBF") == 0)
                line.erase(0, 3); // byte-order mark some editors write
            if (!IsUtf8(line)) {
                std::cerr << argv[a] << ":" << lineNo << ": not UTF-8\n";
                return 1;
            }
            std::size_t k = line.find_first_not_of(" \t\r");
            if (k == std::string::npos || line[k] == '#')
                continue;
            unsigned id = 0;
            std::string text, error;
            if (!ParseLine(line, id, text, error)) {
                std::cerr << argv[a] << ":" << lineNo << ": " << error << "\n";
                return 1;
            }
            if (!texts.emplace(id, text).second) {
                std::cerr << argv[a] << ":" << lineNo << ": id " << id << " given twice\n";
                return 1;
            }
        }
    }
    std::ostringstream out;
    out << "// Generated from resources/lang/tables; do not edit.\n"
           "#include \"platform/StringTable.h\"\n"
           "\n#define XELLAN_EXPORT __attribute__((visibility(\"default\")))\n\n"
           "extern \"C\" {\n"
           "XELLAN_EXPORT extern const QuarnoStringEntry QuarnoStringTable[];\n"
           "XELLAN_EXPORT extern const unsigned QuarnoStringCount;\n"
           "const QuarnoStringEntry QuarnoStringTable[] = {\n";
    for (const auto& [id, text] : texts) {
        out << "    {" << id << ", ";
        WriteCString(out, text);
        out << "},\n";
    }
    if (texts.empty())
        out << "    {0, \"\"},\n";
    out << "};\nconst unsigned QuarnoStringCount = " << texts.size() << ";\n}\n";
    std::ofstream file(argv[1], std::ios::binary);
    file << out.str();
    return file ? 0 : 1;
}
