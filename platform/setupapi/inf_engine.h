// The INF engine: reads a Windows INF file from its bytes and answers the
// questions of the eight INF functions of the Setup API. Portable: no OS
// calls, no platform.h; the stand-in entry points (setupapi_standin.cpp) read
// the file and map handles and contexts onto it.
//
// The reader follows Microsoft's documentation of the INF format where it
// says something, and Wine 8's Setup API where it is silent. The choices:
//
// Encoding
//   FF FE: UTF-16LE. FE FF: UTF-16BE (documented as accepted; Wine refuses
//   it). EF BB BF: UTF-8 (Wine's reading; invalid sequences, surrogates and
//   overlong forms become U+FFFD, one per bad byte). No BOM: UTF-16LE when the
//   length is even and more than half of the code units are 0x0001-0x00FF
//   (plain text in UTF-16 has a zero high byte almost everywhere); anything
//   else is Windows-1252, as Windows reads an ANSI INF on a Western system, so
//   UTF-8 without a BOM comes out as mojibake exactly as it does there.
//   A BOM counts only when the length is even (Wine): FF FE before an odd
//   number of bytes is ANSI text whose first line is no header, so the open
//   fails with ERROR_EXPECTED_SECTION_NAME at line 1. Unpaired surrogates are
//   kept as code units.
//   U+001A (Ctrl-Z) ends the text (Wine). A U+0000 code unit before that
//   fails the open with ERROR_EXPECTED_SECTION_NAME and the line holding it:
//   the text is not an INF, and cutting a value at the NUL would lose data
//   silently (Wine fails the same way, at line 1, for small files).
//
// Lines
//   A physical line ends at CR, LF or CRLF (documented; Wine ends lines at LF
//   only and reads CR as whitespace, so a CR-only file is one line there and
//   an unterminated quote keeps the CR of a CRLF line end). Error lines count
//   physical lines from 1.
//
// Sections
//   A line whose first non-blank character is '[' is a header; the name is
//   everything up to the first ']' taken literally (no trimming, no
//   substitution); the rest of the line is ignored. No ']':
//   ERROR_BAD_SECTION_NAME_LINE. 256 or more characters:
//   ERROR_SECTION_NAME_TOO_LONG. An entry before the first header:
//   ERROR_EXPECTED_SECTION_NAME. Names compare ignoring the case of ASCII
//   letters only; headers of one name form one section, in file order.
//
// Entries
//   Split as Wine does: '"' opens a quoted part ("" inside gives one '"');
//   outside quotes ';' starts a comment, ',' ends a field, the first '=' before
//   any ',' ends the key. Whitespace (space, TAB, VT, FF, CR and the Unicode
//   spaces U+0085, U+00A0, U+1680, U+2000-200A, U+2028, U+2029, U+202F,
//   U+205F, U+3000) is trimmed at both ends of a key or field unless quoted.
//   An unterminated quote ends at the end of its physical line. A line
//   without '=' with one field uses that field as its key too; with two or
//   more fields it has no key.
//   Exception (documented; Wine differs): an unquoted ';' inside a %strkey%
//   token does not start a comment. A token here is '%', one or more
//   characters other than whitespace, '"', ',', '=' and '%', then '%'.
//
// Continuation
//   Outside quotes, a run of backslashes that is the last non-blank text
//   before the line end or a comment continues the entry; the run and the
//   blanks before it are dropped, as are the leading blanks of the next line.
//   A comment-only line inside a continued entry is skipped and the entry
//   goes on (documented; Wine ends the entry there). A blank line or the end
//   of the file ends it. A section header in that position is joined as text
//   (Wine).
//
// Lengths
//   Keys, fields and [Strings] values keep at most 4095 characters (the
//   documented 4096 with the terminating NUL; Wine cuts them to 511); the
//   rest is dropped silently, as documented. A field after substitution is
//   likewise cut at 4095 characters. A cut never splits a surrogate pair.
//   There is no limit on fields per line or lines per section. Files over
//   kMaxFileBytes (64 MiB) are refused with ERROR_NOT_ENOUGH_MEMORY before
//   anything is allocated, so the memory an open takes is bounded by a small
//   multiple of the file size (see below).
//
// Strings
//   %strkey% tokens are replaced when a key or field is read, after the line
//   was split: %% gives %, an unknown key or a % without partner stays as
//   written, and the inserted value is taken as stored (no further
//   substitution, so self-reference and chains cannot loop or grow). Keys
//   compare ignoring ASCII case; the first definition wins.
//   Which Strings section: documented Windows behaviour, by the language given
//   in Options (the stand-ins give en-US, 0x0409): [Strings.<langid>] (1 to 4
//   hex digits) with exactly that id, else the one with the same primary
//   language and SUBLANG_NEUTRAL, else the first with the same primary
//   language, else [Strings]. All tokens come from that one section. (Wine
//   reads only [Strings].)
//   A token whose name is a number (%11%, %01%) names a directory (a DIRID)
//   when Options lists it, and is replaced by that path before [Strings] is
//   asked; standardDirids() gives the documented set for a Windows folder.
//
// Style
//   INF_STYLE_WIN4 needs, in [Version], a first Signature line whose field 1
//   (quote-processed, not substituted) is $Windows NT$ or $Chicago$, ignoring
//   case (documented; Wine also takes $Windows 95$). A file without that
//   signature opens as INF_STYLE_OLDNT when the caller allows it (its lines
//   are read by the same rules). A style the caller does not allow fails the
//   open with ERROR_WRONG_INF_STYLE and error line 0.
//
// Untrusted input, case by case (the file-system cases are the entry
// points', see setupapi_standin.cpp):
//   empty file                 ERROR_FILE_INVALID (1006)
//   over 64 MiB                ERROR_NOT_ENOUGH_MEMORY (8), nothing read or allocated
//   binary garbage             an open error (mostly ERROR_EXPECTED_SECTION_NAME
//                              at line 1, or a header error), never a crash
//   NUL (8-bit or UTF-16)      ERROR_EXPECTED_SECTION_NAME at the NUL's line
//   odd-length UTF-16          ERROR_EXPECTED_SECTION_NAME at line 1 (read as ANSI)
//   unpaired surrogates        kept as code units
//   invalid UTF-8 (with BOM)   U+FFFD for each byte that starts no valid sequence
//   a line of 1 MB             read; each field cut at 4095 characters
//   a field of 100,000 chars   cut at 4095 characters
//   100,000 sections           hashed; lookups stay constant time
//   %a% in a's own value, or
//   a chain of 1,000 keys      one level of replacement only, output cut at 4095
//   unterminated quote         runs to the end of its physical line
//   continuation at the end    dropped; the entry ends there
// Time is linear in the file size (one pass, hashed lookups). Memory: the
// file, its UTF-16 text and the parsed form at once during the open; a
// driver INF takes about 3 bytes per input byte, the worst case (a file of
// nothing but commas: an 8-byte record per empty field, in a vector that
// grows by doubling) 10 to 18, so 64 MiB bounds an open at about 1.2 GB.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "name_index.h"

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
constexpr size_t kMaxFieldChars = 4095;
constexpr size_t kMaxSectionNameChars = 255;

struct Options {
    uint16_t langId = 0x0409;
    uint32_t styles = kStyleWin4;
    std::vector<std::pair<uint32_t, std::u16string>> dirids;  // directory of each DIRID
};

// The documented DIRIDs for a system installed in windowsDirectory (such as
// C:\windows) and an INF read from sourceDirectory: 01 the INF's folder,
// 10 Windows, 11 system32, 12 drivers, 17 inf, 18 help, 20 fonts, 21
// viewers, 23 color, 24 the system drive ("C:"), 25 shared (Windows), 30
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

// Bytes to UTF-16 text by the rules above (BOM dropped, text cut at U+001A).
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
