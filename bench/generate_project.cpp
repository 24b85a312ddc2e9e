// writes a large synthetic VB6 project for timing the archive and unzip commands against other tools
//
//   generate_project [--code-base] FOLDER FILES [AVERAGE_KB] [SEED]
//
// FOLDER/App/App.vbp names FILES files: forms (half of them with a .frx), modules, classes and user
// controls (with a .ctx), a few under FOLDER/Shared reached with "..\Shared\", and a resource file.
// The same arguments always give the same bytes.
//
// Sizes are spread evenly around AVERAGE_KB, unless --code-base asks for the shape of a real code base:
// most files of 2 to 30 KB (as many small as large ones), one binary file in eighty of 100 KB to 1 MB,
// and one source file in eight generated designer text that compresses about twenty times.
#include <cmath>
#include <cstdint>
#include <cstring>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

namespace {

namespace fs = std::filesystem;

const char* const kWords[] = {"Dim",      "As",       "String",  "Long",    "If",   "Then",  "End",
                              "Sub",      "Function", "Private", "Public",  "Call", "Set",   "Nothing",
                              "For",      "Next",     "Me",      "Caption", "Text", "Value", "Invoice",
                              "Customer", "Amount",   "Total",   "Tax",     "Rate", "Err",   "Exit"};

// Source code: indented statements from a small vocabulary, about as compressible as real VB6 code.
std::string SourceText(std::mt19937& random, std::size_t bytes, const std::string& header) {
    std::string text = header;
    std::uniform_int_distribution<int> word(0, sizeof kWords / sizeof kWords[0] - 1);
    std::uniform_int_distribution<int> count(2, 9);
    std::uniform_int_distribution<int> number(0, 99999);
    while (text.size() < bytes) {
        text.append(4 * (random() % 3), ' ');
        for (int i = count(random); i > 0; --i) {
            text += kWords[word(random)];
            text += random() % 5 == 0 ? " = " + std::to_string(number(random)) + " " : " ";
        }
        text += "\r\n";
    }
    return text;
}

// Binary properties: picture data that hardly compresses, between stretches of header-like zeros.
std::string BinaryBlob(std::mt19937& random, std::size_t bytes) {
    std::string blob;
    blob.reserve(bytes);
    while (blob.size() < bytes) {
        const std::size_t run = 64 + random() % 4096;
        if (random() % 3 == 0)
            blob.append(run / 4, '\0');
        else
            for (std::size_t i = 0; i < run; ++i)
                blob += static_cast<char>(random());
    }
    blob.resize(bytes);
    return blob;
}

// Designer text: the same control blocks over and over with a few numbers changed.
std::string DesignerText(std::mt19937& random, std::size_t bytes, const std::string& header) {
    std::string text = header;
    for (int control = 0; text.size() < bytes; ++control) {
        text += "   Begin VB.TextBox txtField" + std::to_string(control) + "\r\n      Height          =   315\r\n"
                "      Left            =   " + std::to_string(120 + random() % 4 * 1200) + "\r\n      TabIndex        =   " +
                std::to_string(control) + "\r\n      Top             =   " + std::to_string(control * 360) +
                "\r\n      Width           =   2295\r\n   End\r\n";
    }
    return text;
}

// Sizes of a code base: log-uniform between 2 and 30 KB; `binary` files now and then far larger.
struct CodeBaseSizes {
    std::size_t operator()(std::mt19937& random, bool binary) const {
        if (binary && random() % 80 == 0)
            return 100 * 1024 + random() % (924 * 1024);
        std::uniform_real_distribution<double> exponent(std::log(2048.0), std::log(30720.0));
        return static_cast<std::size_t>(std::exp(exponent(random)));
    }
};

void Write(const fs::path& path, const std::string& bytes) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
}

} // namespace

int main(int argc, char** argv) {
    const bool codeBase = argc > 1 && std::strcmp(argv[1], "--code-base") == 0;
    if (codeBase) {
        --argc;
        ++argv;
    }
    if (argc < 3) {
        std::fprintf(stderr, "usage: generate_project [--code-base] FOLDER FILES [AVERAGE_KB] [SEED]\n");
        return 2;
    }
    const fs::path root = argv[1];
    const long files = std::stol(argv[2]);
    const std::size_t averageBytes = (argc > 3 ? std::stoul(argv[3]) : 40) * 1024;
    std::mt19937 random(argc > 4 ? static_cast<unsigned>(std::stoul(argv[4])) : 20250717u);
    std::uniform_int_distribution<std::size_t> even(averageBytes / 4, averageBytes * 7 / 4);
    auto size = [&](std::mt19937& random, bool binary = false) {
        return codeBase ? CodeBaseSizes()(random, binary) : even(random);
    };
    // the generated designer text of a code base, in place of some of its forms' and controls' code
    auto designed = [&](std::mt19937& random) { return codeBase && random() % 8 == 0; };

    const fs::path app = root / "App";
    std::string vbp =
        "Type=Exe\r\nReference=*\\G{00020430-0000-0000-C000-000000000046}#2.0#0#stdole2.tlb#OLE "
        "Automation\r\n";
    long written = 0;
    for (long i = 0; written < files; ++i) {
        const std::string id = std::to_string(10000 + i).substr(1);
        switch (i % 5) {
        case 0:
        case 1: {
            const std::string name = "frm" + id;
            const std::string header = "VERSION 5.00\r\nBegin VB.Form " + name + "\r\nEnd\r\n";
            const std::size_t bytes = size(random);
            Write(app / "Forms" / (name + ".frm"), designed(random) ? DesignerText(random, bytes, header)
                                                                     : SourceText(random, bytes, header));
            vbp += "Form=Forms\\" + name + ".frm\r\n";
            ++written;
            if (i % 2 == 0 && written < files) {
                Write(app / "Forms" / (name + ".frx"), BinaryBlob(random, size(random, true)));
                ++written;
            }
            break;
        }
        case 2: {
            const std::string name = "mod" + id;
            const bool shared = i % 50 == 2;
            Write((shared ? root / "Shared" : app / "Modules") / (name + ".bas"),
                  SourceText(random, size(random), "Attribute VB_Name = \"" + name + "\"\r\n"));
            vbp += "Module=" + name + "; " + (shared ? "..\\Shared\\" : "Modules\\") + name + ".bas\r\n";
            ++written;
            break;
        }
        case 3: {
            const std::string name = "cls" + id;
            Write(app / "Classes" / (name + ".cls"),
                  SourceText(random, size(random),
                             "VERSION 1.0 CLASS\r\nAttribute VB_Name = \"" + name + "\"\r\n"));
            vbp += "Class=" + name + "; Classes\\" + name + ".cls\r\n";
            ++written;
            break;
        }
        default: {
            const std::string name = "uc" + id;
            const std::string header = "VERSION 5.00\r\nBegin VB.UserControl " + name + "\r\n";
            const std::size_t bytes = size(random);
            Write(app / "Controls" / (name + ".ctl"), designed(random) ? DesignerText(random, bytes, header)
                                                                        : SourceText(random, bytes, header));
            vbp += "UserControl=Controls\\" + name + ".ctl\r\n";
            ++written;
            if (written < files) {
                Write(app / "Controls" / (name + ".ctx"), BinaryBlob(random, size(random, true)));
                ++written;
            }
            break;
        }
        }
    }
    Write(app / "Res" / "App.res", BinaryBlob(random, averageBytes * 4));
    vbp += "ResFile32=\"Res\\App.res\"\r\nName=\"App\"\r\nMajorVer=1\r\nMinorVer=0\r\nRevisionVer=0\r\n";
    Write(app / "App.vbp", vbp);
    return 0;
}
