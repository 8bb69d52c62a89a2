// infdump: prints everything the eight Setup API INF functions report about
// INF files, so that two implementations can be compared line by line. Built
// natively it runs our INF engine; built for Windows it runs the system's
// setupapi.dll (under Wine, Wine's).
//
//   infdump [-o FILE | -d DIR] INF...
//
// INF is passed to SetupOpenInfFileW as given (an absolute host path such as
// /srv/x.inf names the same file natively and under Wine, whose drive Z: is
// the host root) and is also read by the tool itself to list section names.
// -o writes all reports to FILE; -d writes DIR/<file name>.txt per INF;
// otherwise standard output. Exit code 0, or 2 for bad usage or unwritable
// output.
//
// Section names: the eight functions cannot enumerate sections, so the tool
// decodes the file as the engine does (BOM, UTF-16 detection, Windows-1252,
// NUL as a blank) and takes every physical line (ended by LF) whose first
// non-blank character is '[': the name is the text up to the first ']'.
// Names are listed once each (the first spelling, ASCII case ignored), in
// file order. A name that the open did not make a section (a header joined
// into a continued line, a line that is not one under the other reader's
// line rules) then shows as a section without lines.
//
// Report format (UTF-8, LF line ends, one report per INF):
//   file <last path component>
//   open ok                      | open error 0x%08X line <n|untouched>
//   info style <n> count <n>     | info error 0x%08X
//   original <OriginalInfName> catalog <OriginalCatalogName> | original error 0x%08X
//   [<section>]
//     none error 0x%08X          (SetupFindFirstLineW failed)
//     line <n> text <line text>  (n from 0 within the section)
//       0 <key>                  | 0 none   (field 0 failed)
//       <i> <field i>            fields 1.. until the first failure
//   end
// Characters below U+0020, U+007F and unpaired surrogates print as <U+XXXX>.
// Nothing is printed after "open error"; "info"/"original" are absent when
// the open failed.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "platform/setupapi/inf_engine.h"
#include "text/utf8.h"

namespace {

std::string printable(const std::u16string& text) {
    std::string out;
    for (size_t i = 0; i < text.size();) {
        const char32_t c = nextCodePoint(text, &i);
        if (c < 0x20 || c == 0x7F || isSurrogate(c)) {
            char buf[16];
            std::snprintf(buf, sizeof buf, "<U+%04X>", unsigned(c));
            out += buf;
            continue;
        }
        appendUtf8(out, c);
    }
    return out;
}

std::string hex(DWORD code) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "0x%08lX", static_cast<unsigned long>(code));
    return buf;
}

std::vector<std::u16string> sectionNames(const std::string& path) {
    std::vector<std::u16string> names;
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) return names;
    std::vector<uint8_t> bytes;
    uint8_t chunk[65536];
    size_t got;
    while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0 && bytes.size() <= infengine::kMaxFileBytes) {
        bytes.insert(bytes.end(), chunk, chunk + got);
    }
    std::fclose(file);
    std::u16string text = infengine::decodeText(bytes.data(), bytes.size());
    std::vector<std::u16string> seen;
    size_t pos = 0;
    while (pos < text.size()) {
        size_t end = text.find(u'\n', pos);
        if (end == std::u16string::npos) end = text.size();
        size_t i = pos;
        while (i < end && infengine::isInfSpace(text[i])) ++i;
        if (i < end && text[i] == u'[') {
            size_t close = text.find(u']', i + 1);
            if (close < end) {
                std::u16string name = text.substr(i + 1, close - i - 1);
                std::u16string folded = infengine::foldAscii(name);
                bool known = false;
                for (const std::u16string& s : seen) known = known || s == folded;
                if (!known) {
                    seen.push_back(folded);
                    names.push_back(name);
                }
            }
        }
        pos = end + 1;
    }
    return names;
}

bool readText(bool field, const INFCONTEXT& context, DWORD index, std::u16string* text) {
    DWORD size = 0;
    BOOL ok = field ? SetupGetStringFieldW(&context, index, nullptr, 0, &size)
                    : SetupGetLineTextW(&context, nullptr, nullptr, nullptr, nullptr, 0, &size);
    if (!ok || size == 0) return false;
    std::vector<WCHAR> buffer(size);
    ok = field ? SetupGetStringFieldW(&context, index, buffer.data(), size, nullptr)
               : SetupGetLineTextW(&context, nullptr, nullptr, nullptr, buffer.data(), size, nullptr);
    if (!ok) return false;
    text->assign(ustr(buffer.data()), size - 1);
    return true;
}

void dumpSection(HINF inf, const std::u16string& name, std::string* out) {
    *out += "[" + printable(name) + "]\n";
    INFCONTEXT context;
    if (!SetupFindFirstLineW(inf, wstr(name.c_str()), nullptr, &context)) {
        *out += "  none error " + hex(GetLastError()) + "\n";
        return;
    }
    std::u16string text;
    for (unsigned line = 0;; ++line) {
        *out += "  line " + std::to_string(line) + " text ";
        *out += readText(false, context, 0, &text) ? printable(text) : std::string("<failed>");
        *out += "\n";
        *out += readText(true, context, 0, &text) ? "    0 " + printable(text) + "\n" : "    0 none\n";
        // Bounded, in case an implementation never reports the end of a line.
        for (DWORD index = 1; index < 1000000 && readText(true, context, index, &text); ++index) {
            *out += "    " + std::to_string(index) + " " + printable(text) + "\n";
        }
        if (!SetupFindNextLine(&context, &context)) break;
    }
}

std::string dump(const std::string& path) {
    std::string out;
    size_t slash = path.find_last_of("\\/");
    out += "file " + (slash == std::string::npos ? path : path.substr(slash + 1)) + "\n";
    std::u16string widePath = fromUtf8(path);
    const UINT kUntouched = 0xFFFFFFFFu;
    UINT errorLine = kUntouched;
    HINF inf = SetupOpenInfFileW(wstr(widePath.c_str()), nullptr, INF_STYLE_WIN4, &errorLine);
    if (inf == INVALID_HANDLE_VALUE) {
        out += "open error " + hex(GetLastError()) + " line " +
               (errorLine == kUntouched ? std::string("untouched") : std::to_string(errorLine)) + "\n";
        return out;
    }
    out += "open ok\n";
    DWORD size = 0;
    if (SetupGetInfInformationW(inf, INFINFO_INF_SPEC_IS_HINF, nullptr, 0, &size) && size > 0) {
        std::vector<uint8_t> block(size);
        auto* info = reinterpret_cast<PSP_INF_INFORMATION>(block.data());
        if (SetupGetInfInformationW(inf, INFINFO_INF_SPEC_IS_HINF, info, size, nullptr)) {
            out += "info style " + std::to_string(info->InfStyle) + " count " + std::to_string(info->InfCount) + "\n";
            SP_ORIGINAL_FILE_INFO_W original;
            std::memset(&original, 0, sizeof original);
            original.cbSize = sizeof original;
            if (SetupQueryInfOriginalFileInformationW(info, 0, nullptr, &original)) {
                out += "original " + printable(ustr(original.OriginalInfName)) + " catalog " +
                       printable(ustr(original.OriginalCatalogName)) + "\n";
            } else {
                out += "original error " + hex(GetLastError()) + "\n";
            }
        } else {
            out += "info error " + hex(GetLastError()) + "\n";
        }
    } else {
        out += "info error " + hex(GetLastError()) + "\n";
    }
    for (const std::u16string& name : sectionNames(path)) dumpSection(inf, name, &out);
    SetupCloseInfFile(inf);
    out += "end\n";
    return out;
}

bool writeFile(const std::string& path, const std::string& text, const char* mode) {
    std::FILE* file = std::fopen(path.c_str(), mode);
    if (file == nullptr) return false;
    bool ok = std::fwrite(text.data(), 1, text.size(), file) == text.size();
    return std::fclose(file) == 0 && ok;
}

}  // namespace

int main(int argc, char** argv) {
    std::string outFile, outDir;
    int first = 1;
    if (argc >= 3 && (std::strcmp(argv[1], "-o") == 0 || std::strcmp(argv[1], "-d") == 0)) {
        (argv[1][1] == 'o' ? outFile : outDir) = argv[2];
        first = 3;
    }
    if (first >= argc) {
        std::fprintf(stderr, "usage: infdump [-o FILE | -d DIR] INF...\n");
        return 2;
    }
    if (!outFile.empty() && !writeFile(outFile, "", "wb")) return 2;
    for (int i = first; i < argc; ++i) {
        std::string report = dump(argv[i]);
        if (!outDir.empty()) {
            std::string name = argv[i];
            size_t slash = name.find_last_of("\\/");
            if (slash != std::string::npos) name = name.substr(slash + 1);
            if (!writeFile(outDir + "/" + name + ".txt", report, "wb")) return 2;
        } else if (!outFile.empty()) {
            if (!writeFile(outFile, report, "ab")) return 2;
        } else {
            std::fwrite(report.data(), 1, report.size(), stdout);
        }
    }
    return 0;
}
