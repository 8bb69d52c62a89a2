// What Windows' Setup API was observed to answer for INF text, one row per
// fact: the bytes, what is asked, Windows' answer. Natively the rows run
// against our stand-ins and must all pass. Built for Windows they run
// against the system's Setup API; under Wine the rows marked kWineDiffers
// must give another answer, and one that starts to give Windows' answer
// fails so that its mark is taken off.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "platform/testing/scratch_dir.h"
#include "text/utf8.h"

namespace {

enum class Ask {
    Open,  // "ok" or "error 0x... line n" (n: the error line, "untouched" when not written)
    Lines,  // every line of the section: "key : field1|field2 / ..."; "#" when field 0 fails
    // The last error after a successful call of each kind (primed with junk
    // before the call), on the first line of the section and the next one.
    LastErrorOpen,
    LastErrorFindFirst,
    LastErrorFindNext,
    LastErrorLineText,
    LastErrorStringField,
};

constexpr bool kWineDiffers = true;
constexpr bool kWineAgrees = false;

struct Row {
    const char* fact;
    std::string bytes;
    Ask ask;
    std::u16string section;
    std::string windows;  // Windows' answer
    bool wineDiffers;
};
void PrintTo(const Row& row, std::ostream* os) { *os << row.fact; }

// A literal with its NULs.
template <size_t N>
std::string raw(const char (&text)[N]) {
    return std::string(text, N - 1);
}

const std::string kHdr = "[Version]\nSignature=\"$CHICAGO$\"\n";
// An entry under [Test].
std::string entry(const std::string& text) { return kHdr + "[Test]\n" + text; }

const DWORD kJunk = 0xDEADBEEF;
const UINT kUntouched = 77;

std::string hex(DWORD value) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "0x%08lX", static_cast<unsigned long>(value));
    return buf;
}

// Control characters as <U+XXXX>; a text longer than 64 characters by its length.
std::string show(const std::u16string& text) {
    if (text.size() > 64) return "[" + std::to_string(text.size()) + " chars]";
    std::string out;
    for (size_t i = 0; i < text.size();) {
        const char32_t c = nextCodePoint(text, &i);
        if (c < 0x20 || c == 0x7F) {
            char buf[16];
            std::snprintf(buf, sizeof buf, "<U+%04X>", unsigned(c));
            out += buf;
        } else {
            appendUtf8(out, c);
        }
    }
    return out;
}

// A text read with the size query first; the last errors after both calls
// go to errors.
bool readText(const INFCONTEXT& context, bool field, DWORD index, std::u16string* text, std::string* errors) {
    DWORD size = 0;
    SetLastError(kJunk);
    BOOL ok = field ? SetupGetStringFieldW(&context, index, nullptr, 0, &size)
                    : SetupGetLineTextW(&context, nullptr, nullptr, nullptr, nullptr, 0, &size);
    if (!ok || size == 0) return false;
    DWORD afterQuery = GetLastError();
    std::vector<WCHAR> buffer(size);
    SetLastError(kJunk);
    ok = field ? SetupGetStringFieldW(&context, index, buffer.data(), size, nullptr)
               : SetupGetLineTextW(&context, nullptr, nullptr, nullptr, buffer.data(), size, nullptr);
    if (!ok) return false;
    DWORD afterFill = GetLastError();
    if (errors != nullptr) {
        *errors = afterQuery == afterFill ? (afterQuery == 0 ? std::string("0") : hex(afterQuery))
                                          : "query " + hex(afterQuery) + ", fill " + hex(afterFill);
    }
    text->assign(ustr(buffer.data()), size - 1);
    return true;
}

std::string lastError() {
    DWORD error = GetLastError();
    return error == 0 ? "0" : hex(error);
}

std::string answer(const Row& row) {
    ScratchDirectory scratch;
    std::u16string path = scratch.write("test.inf", row.bytes);
    UINT line = kUntouched;
    SetLastError(kJunk);
    HINF inf = SetupOpenInfFileW(wstr(path.c_str()), nullptr, INF_STYLE_WIN4, &line);
    if (inf == INVALID_HANDLE_VALUE) {
        return "error " + hex(GetLastError()) + " line " +
               (line == kUntouched ? std::string("untouched") : std::to_string(line));
    }
    std::string result = row.ask == Ask::LastErrorOpen ? lastError() : "ok";
    if (row.ask == Ask::Open || row.ask == Ask::LastErrorOpen) {
        SetupCloseInfFile(inf);
        return result;
    }
    INFCONTEXT context;
    SetLastError(kJunk);
    if (!SetupFindFirstLineW(inf, wstr(row.section.c_str()), nullptr, &context)) {
        result = "no line (" + hex(GetLastError()) + ")";
    } else if (row.ask == Ask::LastErrorFindFirst) {
        result = lastError();
    } else if (row.ask == Ask::LastErrorFindNext) {
        SetLastError(kJunk);
        result = SetupFindNextLine(&context, &context) ? lastError() : "no next line (" + hex(GetLastError()) + ")";
    } else if (row.ask == Ask::LastErrorLineText || row.ask == Ask::LastErrorStringField) {
        std::u16string text;
        if (!readText(context, row.ask == Ask::LastErrorStringField, 1, &text, &result)) result = "read failed";
    } else {
        result.clear();
        do {
            if (!result.empty()) result += " / ";
            std::u16string text;
            result += readText(context, true, 0, &text, nullptr) ? show(text) : "#";
            result += " :";
            // Bounded, in case a line never reports its end.
            for (DWORD index = 1; index < 1000 && readText(context, true, index, &text, nullptr); ++index) {
                result += (index == 1 ? " " : "|") + show(text);
            }
        } while (SetupFindNextLine(&context, &context));
    }
    SetupCloseInfFile(inf);
    return result;
}

bool underWine() {
    HMODULE ntdll = GetModuleHandleW(wstr(u"ntdll.dll"));
    return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

class Windows : public ::testing::TestWithParam<Row> {};
TEST_P(Windows, Answers) {
    const Row& row = GetParam();
    const std::string got = answer(row);
    if (underWine() && row.wineDiffers) {
        EXPECT_NE(got, row.windows) << "Wine now gives Windows' answer: take the row's Wine mark off";
        std::printf("Wine differs from Windows, as marked: %s gives \"%s\"\n", row.fact, got.c_str());
    } else {
        EXPECT_EQ(got, row.windows);
    }
}

const std::string kTwoLines = entry("key=value\nkey2=value2\n");
const std::string kEleven = "%s%%s%%s%%s%%s%%s%%s%%s%%s%%s%%s%";

INSTANTIATE_TEST_SUITE_P(Facts, Windows, ::testing::Values(
    // Every successful call sets the last error to 0.
    Row{"lasterror_open", kTwoLines, Ask::LastErrorOpen, u"", "0", kWineAgrees},
    Row{"lasterror_find_first", kTwoLines, Ask::LastErrorFindFirst, u"Test", "0", kWineAgrees},
    Row{"lasterror_find_next", kTwoLines, Ask::LastErrorFindNext, u"Test", "0", kWineAgrees},
    Row{"lasterror_line_text", kTwoLines, Ask::LastErrorLineText, u"Test", "0", kWineDiffers},
    Row{"lasterror_string_field", kTwoLines, Ask::LastErrorStringField, u"Test", "0", kWineAgrees},

    // A file without a section is of the wrong style, error line 0.
    Row{"no_section_entry", "abcd\r\n", Ask::Open, u"", "error 0xE0000100 line 0", kWineDiffers},
    Row{"no_section_blank_line", "\r\n", Ask::Open, u"", "error 0xE0000100 line 0", kWineAgrees},
    Row{"version_only", "[Version]\r\n", Ask::Open, u"", "error 0xE0000100 line 0", kWineAgrees},
    Row{"signature_empty", "[Version]\nSignature=", Ask::Open, u"", "error 0xE0000100 line 0", kWineAgrees},
    Row{"signature_foo", "[Version]\nSignature=foo", Ask::Open, u"", "error 0xE0000100 line 0", kWineAgrees},

    // Only LF ends a line; CR is a blank.
    Row{"cr_is_blank", entry(" a b\r = c\r\n"), Ask::Lines, u"Test", "a b : c", kWineAgrees},
    Row{"cr_in_section_name_opens", kHdr + " [Test\r\b\tSection] \n", Ask::Open, u"", "ok", kWineAgrees},
    Row{"cr_in_section_name_kept", kHdr + " [Test\r\b\tSection] \nk=v\n", Ask::Lines, u"Test\r\b\tSection", "k : v",
        kWineAgrees},
    Row{"cr_only_line_ends_one_line", "[Version]\rSignature=\"$CHICAGO$\"\r[Test]\rk=v\r", Ask::Open, u"",
        "error 0xE0000100 line 0", kWineAgrees},

    // A NUL in an ANSI file reads as a blank.
    Row{"nul_in_value", entry(raw("abcd=ef\0gh")), Ask::Lines, u"Test", "abcd : ef gh", kWineAgrees},
    Row{"nul_at_end_trimmed", entry(raw("bar=bbb\0")), Ask::Lines, u"Test", "bar : bbb", kWineAgrees},
    Row{"nul_twice", entry(raw("bar=aaa\0bbb \0")), Ask::Lines, u"Test", "bar : aaa bbb", kWineDiffers},
    Row{"nul_in_header_end", kHdr + raw(" [TestSection\0]\n"), Ask::Open, u"", "ok", kWineDiffers},
    Row{"nul_in_header_middle", kHdr + raw(" [Test\0Section]\n"), Ask::Open, u"", "ok", kWineDiffers},

    // Ctrl-Z ends the file.
    Row{"ctrl_z_ends_file", kHdr + "[TestSection] \x1a\ndummy", Ask::Lines, u"TestSection", "no line (0xE0000102)",
        kWineAgrees},

    // Backslashes apart from each other still continue the line.
    Row{"continuation_backslashes_apart", entry("ab \\ \\ \ncd=ef"), Ask::Lines, u"Test", "abcd : ef", kWineAgrees},

    // Text before the first header: an error at its line, unless the file
    // has [Strings].
    Row{"junk_first", "abc\r\n" + kHdr, Ask::Open, u"", "error 0xE0000000 line 1", kWineAgrees},
    Row{"junk_after_comments", ";\n;\nabc\r\n" + kHdr, Ask::Open, u"", "error 0xE0000000 line 3", kWineAgrees},
    Row{"junk_after_blank", " \t\ngarbage1\ngarbage2\n" + kHdr, Ask::Open, u"", "error 0xE0000000 line 2",
        kWineAgrees},
    Row{"junk_strings_first", "garbage1\ngarbage2\n[Strings]\n" + kHdr, Ask::Open, u"", "ok", kWineAgrees},
    Row{"junk_strings_last", ";comment\ngarbage1\ngarbage2\n" + kHdr + "[Strings]\n", Ask::Open, u"", "ok",
        kWineAgrees},
    Row{"junk_strings_lasterror", ";comment\ngarbage1\ngarbage2\n" + kHdr + "[Strings]\n", Ask::LastErrorOpen, u"",
        "0", kWineAgrees},
    Row{"junk_other_first", "garbage1\ngarbage2\n[abc]\n" + kHdr, Ask::Open, u"", "error 0xE0000000 line 1",
        kWineAgrees},
    Row{"junk_other_last", ";comment\ngarbage1\ngarbage2\n" + kHdr + "[abc]\n", Ask::Open, u"",
        "error 0xE0000000 line 2", kWineAgrees},

    // Section names: '[' to the first ']', exactly.
    Row{"section_name_spaces", kHdr + " [  Test Section  ] dummy\nk=v\n", Ask::Lines, u"  Test Section  ", "k : v",
        kWineAgrees},
    Row{"section_name_to_first_bracket", kHdr + "[Test[S]ection]\nk=v\n", Ask::Lines, u"Test[S", "k : v",
        kWineAgrees},
    Row{"section_name_empty", kHdr + "[]\nk=v\n", Ask::Lines, u"", "k : v", kWineAgrees},
    Row{"section_unterminated", kHdr + "[ab\r\n", Ask::Open, u"", "error 0xE0000001 line 3", kWineAgrees},
    Row{"section_name_255", kHdr + "[" + std::string(255, 'n') + "]\n", Ask::Open, u"", "ok", kWineAgrees},
    Row{"section_name_256", kHdr + "[" + std::string(256, 'n') + "]\n", Ask::Open, u"", "error 0xE0000002 line 3",
        kWineAgrees},

    // ';' inside a %token% starts a comment.
    Row{"semicolon_in_token", entry("abc=%bar;bla%"), Ask::Lines, u"Test", "abc : %bar", kWineAgrees},

    // Lengths: 4096 characters plus the NUL (Wine keeps 511 of a literal).
    Row{"field_4097_read_as_4096", entry("k=" + std::string(4097, 'x') + "\n"), Ask::Lines, u"Test",
        "k : [4096 chars]", kWineDiffers},
    // Windows 10 1709 and later; 4097 before, as in Wine.
    Row{"substituted_eleven_400", entry("k=" + kEleven + "\n[Strings]\ns=" + std::string(400, 'x') + "\n"),
        Ask::Lines, u"Test", "k : [4096 chars]", kWineDiffers},

    // %24% is the system drive's root with its backslash.
    Row{"dirid_24", entry("a=%24%\n"), Ask::Lines, u"Test", "a : C:\\", kWineAgrees},
    Row{"dirid_24_backslash", entry("a=%24%\\fred\n"), Ask::Lines, u"Test", "a : C:\\fred", kWineAgrees},
    Row{"dirid_24_two_backslashes", entry("a=%24%\\\\fred\n"), Ask::Lines, u"Test", "a : C:\\fred", kWineDiffers}),
    [](const ::testing::TestParamInfo<Row>& info) { return std::string(info.param.fact); });

}  // namespace
