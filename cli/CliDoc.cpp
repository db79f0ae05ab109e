// barcodegen-cli-doc: writes the documents made from the option table (the
// README's table, the manual page, the shell completion), and checks that the
// README's copy is current (a test runs --check).
#include <cstdio>
#include <fstream>
#include <iostream>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "cli/CliOptionTable.h"
#include "cli/CliTypeNames.h"

namespace {

std::optional<std::string> ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// Beside the file and renamed over it: a failed write leaves it as it was.
bool WriteFile(const std::string& path, const std::string& text) {
    const std::string temporary = path + ".new";
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    out << text;
    out.close();
    if (out && std::rename(temporary.c_str(), path.c_str()) == 0) return true;
    std::remove(temporary.c_str());
    return false;
}

int Usage() {
    std::cerr << "usage: barcodegen-cli-doc --markdown\n"
                 "       barcodegen-cli-doc --check README.md\n"
                 "       barcodegen-cli-doc --update README.md\n"
                 "       barcodegen-cli-doc --man FILE\n"
                 "       barcodegen-cli-doc --bash-completion FILE\n";
    return 2;
}

// Every name of every type, as the parser takes them.
std::vector<std::string> AllTypeNames() {
    std::vector<std::string> names;
    for (const TBarcodeType type : EncodableBarcodeTypes())
        for (std::string& name : CliTypeNames(type))
            names.push_back(std::move(name));
    return names;
}

int Write(const std::string& path, const std::string& text) {
    if (WriteFile(path, text)) return 0;
    std::cerr << path << ": cannot be written\n";
    return 1;
}

} // namespace

int main(int argc, char** argv) {
    const std::string_view mode = argc > 1 ? argv[1] : "";
    if (mode == "--markdown" && argc == 2) {
        std::cout << CliOptionsMarkdown();
        return 0;
    }
    if (argc != 3) return Usage();
    const std::string path = argv[2];
    if (mode == "--man") return Write(path, CliManPage(BARCODEGEN_VERSION, BARCODEGEN_DATE));
    if (mode == "--bash-completion") return Write(path, CliBashCompletion(AllTypeNames()));
    if (mode != "--check" && mode != "--update") return Usage();
    const std::optional<std::string> readme = ReadFile(path);
    if (!readme) {
        std::cerr << path << ": cannot be read\n";
        return 1;
    }
    const std::optional<std::string> current = WithCliOptionsTable(*readme);
    if (!current) {
        std::cerr << path << ": the lines\n  " << CliOptionsBegin << "\n  " << CliOptionsEnd
                  << "\nmust enclose the option table\n";
        return 1;
    }
    if (mode == "--update") {
        if (*current != *readme && !WriteFile(path, *current)) {
            std::cerr << path << ": cannot be written\n";
            return 1;
        }
        return 0;
    }
    if (*current == *readme) return 0;
    std::cerr << path << ": the option table differs from the options of barcodegen-cli "
              << "(cli/CliOptionTable.cpp). Make it anew with\n  " << argv[0] << " --update "
              << path << "\n";
    return 1;
}
