// The INF engine: reads a Windows INF file from its bytes and answers the
// questions of the eight INF functions of the Setup API. Portable: no OS
// calls, no platform.h; the stand-in entry points (setupapi_standin.cpp) read
// the file and map handles and contexts onto it.
//
// It reads as Windows was observed to, and follows Microsoft's documentation
// (then Wine) where no observation says: the rules, each with its source, the
// differences from Wine and the handling of untrusted input are in README.md
// beside this file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "platform/setupapi/name_index.h"

namespace infengine {

// The Windows error codes the engine reports (values from the Setup API
// documentation).
constexpr uint32_t kErrorNotEnoughMemory = 8;
constexpr uint32_t kErrorFileInvalid = 1006;
constexpr uint32_t kErrorExpectedSectionName = 0xE0000000u;
constexpr uint32_t kErrorBadSectionNameLine = 0xE0000001u;
constexpr uint32_t kErrorSectionNameTooLong = 0xE0000002u;
constexpr uint32_t kErrorWrongInfStyle = 0xE0000100u;

constexpr uint32_t kStyleOldNt = 1;
constexpr uint32_t kStyleWin4 = 2;

constexpr size_t kMaxFileBytes = size_t(64) << 20;
constexpr size_t kMaxFieldChars = 4096;
constexpr size_t kMaxSectionNameChars = 255;

struct Options {
    uint16_t langId = 0x0409;
    uint32_t styles = kStyleWin4;
    std::vector<std::pair<uint32_t, std::u16string>> dirids;  // directory of each DIRID
};

// The documented DIRIDs for a system installed in windowsDirectory (such as
// C:\windows) and an INF read from sourceDirectory: 01 the INF's folder,
// 10 Windows, 11 system32, 12 drivers, 17 inf, 18 help, 20 fonts, 21
// viewers, 23 color, 24 the system drive's root ("C:\"), 25 shared (Windows), 30
// the boot drive's root ("C:\"), 50 system, 51 spool, 52 spool drivers,
// and the program-files shell folders 16422 (Program Files), 16426 (its x86
// form), 16427 (Common Files) and 16428 (its x86 form); on 64-bit Windows
// the x86 forms are "Program Files (x86)". 13 (the driver store) and the
// rest are not given: nothing is imported into a store here.
std::vector<std::pair<uint32_t, std::u16string>> standardDirids(const std::u16string& windowsDirectory,
                                                                  const std::u16string& sourceDirectory,
                                                                  bool windows64 = false);

struct OpenResult {
    uint32_t error = 0;  // 0 on success
    uint32_t line = 0;   // 1-based physical line of a syntax error, else 0
};

// Bytes to UTF-16 text by the rules of README.md (BOM dropped, text cut at
// U+001A, NUL read as a blank).
std::u16string decodeText(const uint8_t* data, size_t size);

// True when c is one of the whitespace characters trimmed around fields.
bool isInfSpace(char16_t c);

class Inf {
public:
    // Parses a whole file. nullptr with result->error set on failure; may
    // throw std::bad_alloc.
    static std::unique_ptr<Inf> open(const uint8_t* data, size_t size, const Options& options,
                                      OpenResult* result);

    uint32_t style() const { return style_; }
    uint32_t sectionCount() const { return static_cast<uint32_t>(sections_.size()); }
    std::u16string_view sectionName(uint32_t section) const;
    // Case-insensitive (ASCII) lookup of a section by its exact name.
    bool findSection(std::u16string_view name, uint32_t* section) const;
    uint32_t lineCount(uint32_t section) const;

    // Line numbers are positions within the (merged) section, from 0.
    // Field 0 is the key; false when the line has none. Fields 1..n are the
    // values; false past the last one. The text comes substituted.
    bool field(uint32_t section, uint32_t line, uint32_t index, std::u16string* out) const;
    uint32_t valueCount(uint32_t section, uint32_t line) const;
    // Values 1..n substituted and joined by ','.
    void lineText(uint32_t section, uint32_t line, std::u16string* out) const;
    // Where things stand in the file, for tools that point at it: the
    // 1-based physical line on which a line's entry starts, and that of a
    // section's first header; 0 when there is no such line or section.
    uint32_t sourceLine(uint32_t section, uint32_t line) const;
    uint32_t sectionSourceLine(uint32_t section) const;
    // A field as written (quotes resolved, no %strkey% substitution), for
    // tools that check the tokens themselves; same indexes as field().
    bool rawField(uint32_t section, uint32_t line, uint32_t index, std::u16string* out) const;
    // First line of the section whose substituted key equals key (ASCII case ignored).
    bool findKey(uint32_t section, std::u16string_view key, uint32_t* line) const;

    // Substitution of %strkey% tokens in raw text, cut at kMaxFieldChars;
    // appends to out.
    void substitute(std::u16string_view raw, std::u16string* out) const;

    // Field 1 of the first line with the given key in [Version], substituted;
    // empty when there is none.
    std::u16string versionValue(std::u16string_view key) const;

    // Bytes held by the parsed form (for the benchmark's figures).
    size_t memoryBytes() const;

    struct Span {
        uint32_t offset;
        uint32_t length;
    };
    struct Line {
        uint32_t key;    // index into fields_, or kNoKey
        uint32_t first;  // first value in fields_
        uint32_t count;  // number of values
        uint32_t sourceLine;  // 1-based physical line where the entry starts
    };
    struct Section {
        Span name;
        std::vector<uint32_t> lines;  // indexes into lines_, file order
        uint32_t sourceLine;  // 1-based physical line of the first header
    };
    static constexpr uint32_t kNoKey = 0xFFFFFFFFu;
    static constexpr uint32_t kNoValue = 0xFFFFFFFFu;

private:
    friend class Parser;
    Inf() = default;
    std::u16string_view text(Span span) const { return std::u16string_view(pool_).substr(span.offset, span.length); }
    const Line* lineAt(uint32_t section, uint32_t line) const;
    bool fieldSpan(uint32_t section, uint32_t line, uint32_t index, Span* span) const;
    void selectStrings(uint16_t langId);
    const std::u16string* findDirid(std::u16string_view name) const;
    bool signatureIsWin4() const;

    std::u16string pool_;
    std::vector<Span> fields_;
    std::vector<Line> lines_;
    std::vector<Section> sections_;
    NameIndex sectionIndex_;  // name -> section
    NameIndex strings_;       // [Strings] key -> index into fields_ of its raw value, or kNoValue
    std::unordered_map<uint32_t, std::u16string> dirids_;
    uint32_t style_ = 0;
};

// ASCII-only lower-casing, the comparison the engine uses for names.
std::u16string foldAscii(std::u16string_view text);

}  // namespace infengine
