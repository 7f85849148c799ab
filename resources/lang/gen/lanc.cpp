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
    id = unsigned(std::strtoul(line.substr(start, i - start).c_str(), nullptr, 10));
    if (id > 65535) {
        error = "id above 65535";
        return false;
    }
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
