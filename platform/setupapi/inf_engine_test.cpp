// Substitution, the choice of the Strings section, sections, the signature
// check and the length limits of the engine.
#include <gtest/gtest.h>

#include "platform/setupapi/inf_test_support.h"

namespace infengine {
namespace {

using testing::describe;
using testing::kHead;
using testing::openBytes;
using testing::u16;
using testing::utf8;

struct Case {
    const char* name;
    const char* input;
    const char* expected;
};
void PrintTo(const Case& c, std::ostream* os) { *os << c.name; }

// ---------------------------------------------------------------- %strkey%
const char kStrings[] =
    "[Strings]\r\n"
    "Found = \"found value\"\r\n"
    "Comma = \"a,b\"\r\n"
    "Semi = \"a;b\"\r\n"
    "Nested = \"n-%Found%-n\"\r\n"
    "Pct = \"50%%\"\r\n"
    "Dup = first\r\n"
    "Dup = second\r\n"
    "Two Words = tw\r\n"
    "Unq3 = a, b\r\n"
    "Lonely\r\n"
    "Self = %Self%\r\n"
    "Bs2 = ends\\\r\n"
    "Glued = g\r\n"
    "Cl\xE9 = accent\r\n"
    "Quote1 = a\"b, c;d\r\n"
    "[strings]\r\n"
    "Late = late\r\n"
    "Found = shadowed\r\n";

class Substitution : public ::testing::TestWithParam<Case> {};
TEST_P(Substitution, Value) {
    testing::Opened o = openBytes(std::string(kHead) + "[S]\r\nk = " + GetParam().input + "\r\n" + kStrings);
    ASSERT_TRUE(o.inf);
    EXPECT_EQ(describe(*o.inf, "S"), std::string("k : ") + GetParam().expected);
}
INSTANTIATE_TEST_SUITE_P(Table, Substitution, ::testing::Values(
    Case{"found", "%Found%", "found value"},
    Case{"case_ignored", "%FOUND%", "found value"},
    Case{"non_ascii_exact", "%CL\xE9%", "accent"},
    Case{"non_ascii_case_kept", "%CL\xC9%", "%CL\xC3\x89%"},
    Case{"missing_stays", "%Missing%", "%Missing%"},
    Case{"scan_after_missing", "%Missing%Found%", "%Missing%Found%"},
    Case{"double_percent", "100%%", "100%"},
    Case{"escaped_token", "%%Found%%", "%Found%"},
    Case{"triple", "%%%Found%%%", "%found value%"},
    Case{"three_alone", "%%%", "%%"},
    Case{"one_alone", "%", "%"},
    Case{"no_partner", "50%", "50%"},
    Case{"value_then_percent", "%Found%%", "found value%"},
    Case{"embedded", "pre%Found%post", "prefound valuepost"},
    Case{"twice", "%Found%%Found%", "found valuefound value"},
    Case{"quoted", "\"%Found%\"", "found value"},
    Case{"comma_stays_one_field", "%Comma%", "a,b"},
    Case{"semicolon_is_no_comment", "%Semi%", "a;b"},
    Case{"no_second_round", "%Nested%", "n-%Found%-n"},
    Case{"value_as_stored", "%Pct%", "50%%"},
    Case{"first_definition_wins", "%Dup%", "first"},
    Case{"second_strings_part", "%Late%", "late"},
    Case{"spaces_in_name", "%Two Words%", "tw"},
    Case{"first_value_only", "%Unq3%", "a"},
    Case{"keyless_defines_itself", "%Lonely%", "Lonely"},
    Case{"self_reference", "%Self%", "%Self%"},
    Case{"continued_value", "%Bs2%", "endsGlued = g"},
    Case{"stray_quote_runs_to_line_end", "%Quote1%", "ab, c;d<CR>"}));

TEST(Substitution, StringsLinesReadSubstituted) {
    testing::Opened o = openBytes(std::string(kHead) + kStrings);
    ASSERT_TRUE(o.inf);
    uint32_t s, line;
    std::u16string text;
    ASSERT_TRUE(o.inf->findSection(u"Strings", &s));
    ASSERT_TRUE(o.inf->findKey(s, u"nested", &line));
    ASSERT_TRUE(o.inf->field(s, line, 1, &text));
    EXPECT_EQ(utf8(text), "n-found value-n");
    ASSERT_TRUE(o.inf->findKey(s, u"Pct", &line));
    ASSERT_TRUE(o.inf->field(s, line, 1, &text));
    EXPECT_EQ(utf8(text), "50%");
}

// A chain of 1000 keys each naming the next: one level of replacement only.
TEST(Substitution, ChainIsOneLevel) {
    std::string strings = "[Strings]\r\n";
    for (int i = 0; i < 1000; ++i) strings += "K" + std::to_string(i) + " = %K" + std::to_string(i + 1) + "%\r\n";
    testing::Opened o = openBytes(std::string(kHead) + "[S]\r\nk = %K0%\r\n" + strings);
    ASSERT_TRUE(o.inf);
    EXPECT_EQ(describe(*o.inf, "S"), "k : %K1%");
}

// 4096 characters before and after substitution, as Windows keeps them.
TEST(Substitution, ResultIsCut) {
    std::string big(5000, 'v');
    testing::Opened o = openBytes(std::string(kHead) + "[S]\r\nk = %Big%%Big%\r\nj = <%Big%>\r\n[Strings]\r\nBig = " + big + "\r\n");
    ASSERT_TRUE(o.inf);
    uint32_t s;
    std::u16string text;
    ASSERT_TRUE(o.inf->findSection(u"S", &s));
    ASSERT_TRUE(o.inf->field(s, 0, 1, &text));
    EXPECT_TRUE(text == std::u16string(kMaxFieldChars, u'v')) << text.size();
    ASSERT_TRUE(o.inf->field(s, 1, 1, &text));
    EXPECT_TRUE(text == u"<" + std::u16string(kMaxFieldChars - 1, u'v')) << text.size();
}

// ---------------------------------------------------------------- DIRIDs
class Dirids : public ::testing::TestWithParam<Case> {};
TEST_P(Dirids, Value) {
    Options options;
    options.dirids = standardDirids(u"C:\\windows", u"Z:\\pkg");
    testing::Opened o =
        openBytes(std::string(kHead) + "[S]\r\nk = " + GetParam().input + "\r\n[Strings]\r\n12 = twelve\r\n99 = ninety-nine\r\n", options);
    ASSERT_TRUE(o.inf);
    EXPECT_EQ(describe(*o.inf, "S"), std::string("k : ") + GetParam().expected);
}
INSTANTIATE_TEST_SUITE_P(Table, Dirids, ::testing::Values(
    Case{"system32", "%11%\\x.sys", "C:\\windows\\system32\\x.sys"},
    Case{"source_folder", "%01%\\x.inf", "Z:\\pkg\\x.inf"},
    Case{"leading_zeros", "%0010%", "C:\\windows"},
    // A folder ending in a backslash takes one backslash after the token.
    Case{"drive_root", "%24%, %30%", "C:\\|C:\\"},
    Case{"drive_root_then_path", "%24%\\pagefile.sys, %30%\\\\x", "C:\\pagefile.sys|C:\\x"},
    Case{"other_folders_keep_backslashes", "%10%\\\\x", "C:\\windows\\\\x"},
    Case{"program_files", "%16422%\\App", "C:\\Program Files\\App"},
    Case{"before_strings", "%12%", "C:\\windows\\system32\\drivers"},
    Case{"unknown_goes_to_strings", "%99%", "ninety-nine"},
    Case{"driver_store_not_given", "%13%\\x.sys", "%13%\\x.sys"},
    Case{"not_a_number", "%1x%", "%1x%"}));

TEST(Dirids, X86ProgramFoldersOf64BitWindows) {
    Options options;
    options.dirids = standardDirids(u"D:\\win", u"Z:\\pkg", true);
    testing::Opened o = openBytes(std::string(kHead) + "[S]\r\nk = %16422%, %16426%, %16428%, %24%\r\n", options);
    ASSERT_TRUE(o.inf);
    EXPECT_EQ(describe(*o.inf, "S"),
              "k : D:\\Program Files|D:\\Program Files (x86)|D:\\Program Files (x86)\\Common Files|D:\\");
}

TEST(DiridsOff, StringsOnlyWithoutATable) {
    testing::Opened o = openBytes(std::string(kHead) + "[S]\r\nk = %12%, %11%\r\n[Strings]\r\n12 = twelve\r\n");
    ASSERT_TRUE(o.inf);
    EXPECT_EQ(describe(*o.inf, "S"), "k : twelve|%11%");
}

// ---------------------------------------------------------------- [Strings.langid]
struct LangCase {
    const char* name;
    const char* sections;  // Strings sections, each defining Name
    uint16_t lang;
    const char* expected;
};
void PrintTo(const LangCase& c, std::ostream* os) { *os << c.name; }

class StringsLanguage : public ::testing::TestWithParam<LangCase> {};
TEST_P(StringsLanguage, Chosen) {
    Options options;
    options.langId = GetParam().lang;
    testing::Opened o = openBytes(std::string(kHead) + "[S]\r\nk = %Name%, %Other%\r\n" + GetParam().sections, options);
    ASSERT_TRUE(o.inf);
    EXPECT_EQ(describe(*o.inf, "S"), std::string("k : ") + GetParam().expected);
}
INSTANTIATE_TEST_SUITE_P(Table, StringsLanguage, ::testing::Values(
    LangCase{"plain_only", "[Strings]\r\nName=plain\r\nOther=o\r\n", 0x0409, "plain|o"},
    LangCase{"exact", "[Strings]\r\nName=plain\r\n[Strings.0409]\r\nName=us\r\n[Strings.0407]\r\nName=de\r\n", 0x0409,
             "us|%Other%"},
    LangCase{"other_locale", "[Strings]\r\nName=plain\r\n[Strings.0409]\r\nName=us\r\n[Strings.0407]\r\nName=de\r\n",
             0x0407, "de|%Other%"},
    LangCase{"neutral_before_other_sublanguage",
             "[Strings]\r\nName=plain\r\n[Strings.0809]\r\nName=uk\r\n[Strings.0009]\r\nName=en\r\n", 0x0409, "en|%Other%"},
    LangCase{"same_primary", "[Strings]\r\nName=plain\r\n[Strings.0809]\r\nName=uk\r\n", 0x0409, "uk|%Other%"},
    LangCase{"short_id_case", "[Strings]\r\nName=plain\r\n[STRINGS.0a]\r\nName=es\r\n", 0x0C0A, "es|%Other%"},
    LangCase{"no_match_uses_plain", "[Strings]\r\nName=plain\r\n[Strings.0407]\r\nName=de\r\n", 0x0409, "plain|%Other%"},
    LangCase{"only_decorated_matching", "[Strings.0409]\r\nName=us\r\n", 0x0409, "us|%Other%"},
    LangCase{"only_decorated_none_matching", "[Strings.0407]\r\nName=de\r\n", 0x0409, "%Name%|%Other%"},
    LangCase{"not_a_language", "[Strings.abcde]\r\nName=x\r\n[Strings.zz]\r\nName=y\r\n", 0x0409, "%Name%|%Other%"},
    LangCase{"header_case", "[STRINGS]\r\nName=upper\r\n", 0x0409, "upper|%Other%"}));

// ---------------------------------------------------------------- sections
class Sections : public ::testing::TestWithParam<Case> {};
TEST_P(Sections, Lookup) {
    const char* body =
        "[Section With Spaces]\r\na=1\r\n"
        "[Dup]\r\nd=1\r\n[Other]\r\no=1\r\n[Dup]\r\nd=2\r\n[dup]\r\nd=3\r\n"
        "[EmptySection]\r\n[OnlyComments]\r\n; c\r\n"
        "[Trailing] junk\r\nt=1\r\n[Commented] ; note\r\nc=1\r\n[x]y]\r\nx=1\r\n"
        "[  Padded  ]\r\np=1\r\n[Quoted \"Name\"]\r\nq=1\r\n[Semi;Colon]\r\ns=1\r\n[Percent%Name]\r\np=2\r\n"
        "[%Found%]\r\nf=1\r\n   [Indented]\r\ni=1\r\n[]\r\ne=1\r\n[Secti\xF3n]\r\nu=1\r\n"
        "[Strings]\r\nFound=found\r\n";
    testing::Opened o = openBytes(std::string(kHead) + body);
    ASSERT_TRUE(o.inf);
    EXPECT_EQ(describe(*o.inf, GetParam().input), GetParam().expected);
}
INSTANTIATE_TEST_SUITE_P(Table, Sections, ::testing::Values(
    Case{"case_ignored", "SECTION WITH SPACES", "a : 1"},
    Case{"merged_in_order", "dup", "d : 1 / d : 2 / d : 3"},
    Case{"empty", "EmptySection", "(none)"},
    Case{"only_comments", "OnlyComments", "(none)"},
    Case{"text_after_bracket", "Trailing", "t : 1"},
    Case{"comment_after_bracket", "Commented", "c : 1"},
    Case{"first_bracket", "x", "x : 1"},
    Case{"padded_exact", "  Padded  ", "p : 1"},
    Case{"padded_not_trimmed", "Padded", "(missing)"},
    Case{"quotes_literal", "Quoted \"Name\"", "q : 1"},
    Case{"semicolon_literal", "Semi;Colon", "s : 1"},
    Case{"percent_literal", "Percent%Name", "p : 2"},
    Case{"never_substituted", "%Found%", "f : 1"},
    Case{"substituted_name_absent", "found", "(missing)"},
    Case{"indented", "Indented", "i : 1"},
    Case{"empty_name", "", "e : 1"},
    Case{"non_ascii_exact", "Secti\xF3n", "u : 1"},
    Case{"non_ascii_case_kept", "SECTI\xD3N", "(missing)"}));

// ---------------------------------------------------------------- open errors and style
struct OpenCase {
    const char* name;
    std::string bytes;
    uint32_t error;
    uint32_t line;
};
void PrintTo(const OpenCase& c, std::ostream* os) { *os << c.name; }

class OpenErrors : public ::testing::TestWithParam<OpenCase> {};
TEST_P(OpenErrors, Result) {
    testing::Opened o = openBytes(GetParam().bytes);
    EXPECT_EQ(o.result.error, GetParam().error);
    EXPECT_EQ(o.result.line, GetParam().line);
    EXPECT_EQ(o.inf != nullptr, GetParam().error == 0);
}
std::string sig(const std::string& line) { return "[Version]\r\n" + line + "\r\n"; }
INSTANTIATE_TEST_SUITE_P(Table, OpenErrors, ::testing::Values(
    OpenCase{"chicago", sig("Signature=\"$Chicago$\""), 0, 0},
    OpenCase{"windows_nt", sig("Signature=\"$Windows NT$\""), 0, 0},
    OpenCase{"lower_case", sig("signature=\"$windows nt$\""), 0, 0},
    OpenCase{"upper_case", sig("SIGNATURE=\"$CHICAGO$\""), 0, 0},
    OpenCase{"unquoted", sig("Signature=$Chicago$"), 0, 0},
    OpenCase{"extra_fields", sig("Signature=\"$Chicago$\", extra"), 0, 0},
    OpenCase{"version_last", "[A]\r\nx=1\r\n" + sig("Signature=$Chicago$"), 0, 0},
    OpenCase{"version_split", "[Version]\r\nClass=x\r\n[A]\r\n[version]\r\nSignature=$Chicago$\r\n", 0, 0},
    // Documented: only $Windows NT$ and $Chicago$ (Wine also takes $Windows 95$).
    OpenCase{"windows_95", sig("Signature=\"$Windows 95$\""), kErrorWrongInfStyle, 0},
    OpenCase{"misspelt", sig("Signature=\"$Windws NT$\""), kErrorWrongInfStyle, 0},
    OpenCase{"no_dollars", sig("Signature=\"Windows NT\""), kErrorWrongInfStyle, 0},
    OpenCase{"empty", sig("Signature=\"\""), kErrorWrongInfStyle, 0},
    OpenCase{"inner_space", sig("Signature=\"$Windows NT$ \""), kErrorWrongInfStyle, 0},
    OpenCase{"windows_98", sig("Signature=\"$Windows 98$\""), kErrorWrongInfStyle, 0},
    OpenCase{"not_substituted", sig("Signature=%Sig%") + "[Strings]\r\nSig=$Chicago$\r\n", kErrorWrongInfStyle, 0},
    OpenCase{"no_signature", sig("Class=Net"), kErrorWrongInfStyle, 0},
    OpenCase{"no_version", "[A]\r\nSignature=$Chicago$\r\n", kErrorWrongInfStyle, 0},
    OpenCase{"first_signature_decides", sig("Signature=$Bogus$\r\nSignature=$Chicago$"), kErrorWrongInfStyle, 0},
    OpenCase{"comments_only", "; nothing\r\n\r\n", kErrorWrongInfStyle, 0},
    OpenCase{"empty_file", "", kErrorFileInvalid, 0},
    OpenCase{"entry_first", "orphan = 1\r\n" + sig("Signature=$Chicago$"), kErrorExpectedSectionName, 1},
    OpenCase{"first_of_several_entries", "; c\r\nx\r\ny\r\n" + sig("Signature=$Chicago$"), kErrorExpectedSectionName, 2},
    // Text before the first header is ignored in a file with [Strings] (Windows)
    // and in a file without any header, which then has no signature.
    OpenCase{"entry_first_strings_later", "orphan = 1\r\n" + sig("Signature=$Chicago$") + "[strings]\r\n", 0, 0},
    OpenCase{"entry_first_strings_before", "orphan\r\n[STRINGS]\r\n" + sig("Signature=$Chicago$"), 0, 0},
    OpenCase{"entry_first_decorated_strings", "orphan\r\n[Strings.0409]\r\n" + sig("Signature=$Chicago$"),
             kErrorExpectedSectionName, 1},
    OpenCase{"entry_without_header", "orphan = 1\r\n", kErrorWrongInfStyle, 0},
    // A header error later on is found before the end decides on the text.
    OpenCase{"entry_first_then_bad_header", "orphan\r\n[Open\r\n", kErrorBadSectionNameLine, 2},
    OpenCase{"comments_before_header", "; c\r\n\r\n" + sig("Signature=$Chicago$"), 0, 0},
    OpenCase{"unterminated_header", sig("Signature=$Chicago$") + "[Open\r\n", kErrorBadSectionNameLine, 3},
    OpenCase{"name_255", sig("Signature=$Chicago$") + "[" + std::string(255, 'n') + "]\r\n", 0, 0},
    OpenCase{"name_256", sig("Signature=$Chicago$") + "[" + std::string(256, 'n') + "]\r\n", kErrorSectionNameTooLong, 3},
    // Only LF ends a line: CR-only line ends make one line, "[Version]" and the
    // text after its ']'; error lines count LFs.
    OpenCase{"cr_only_lines", "[Version]\rSignature=$Chicago$\r[Open\r", kErrorWrongInfStyle, 0},
    OpenCase{"error_line_counts_lf", "[Version]\r\rSignature=$Chicago$\n\r[Open\r\n", kErrorBadSectionNameLine, 2}));

TEST(OpenStyle, OldNtAcceptsWhatWin4Refuses) {
    Options options;
    options.styles = kStyleOldNt | kStyleWin4;
    testing::Opened o = openBytes("[Unattend]\r\nSignature = \"$ReactOS$\"\r\n", options);
    ASSERT_TRUE(o.inf);
    EXPECT_EQ(o.inf->style(), kStyleOldNt);
    o = openBytes(sig("Signature=$Chicago$"), options);
    ASSERT_TRUE(o.inf);
    EXPECT_EQ(o.inf->style(), kStyleWin4);
    options.styles = kStyleOldNt;
    o = openBytes(sig("Signature=$Chicago$"), options);
    EXPECT_EQ(o.result.error, kErrorWrongInfStyle);
}

TEST(OpenStyle, VersionValueIsSubstituted) {
    testing::Opened o = openBytes(sig("Signature=$Chicago$\r\nCatalogFile = %Cat%") + "[Strings]\r\nCat=x.cat\r\n");
    ASSERT_TRUE(o.inf);
    EXPECT_EQ(o.inf->versionValue(u"catalogfile"), u"x.cat");
    EXPECT_EQ(o.inf->versionValue(u"Class"), u"");
}

// ---------------------------------------------------------------- source lines
// For tools that point into the file: an entry's line is the one it starts
// on (continuations, comments and blank lines counted), each part of a
// merged section keeps its own lines, and the raw field is the text before
// substitution.
TEST(SourceLines, EntriesAndHeadersKeepTheirFileLines) {
    const std::string text = std::string(kHead) +  // lines 1 and 2
                             "; comment\r\n"       // 3
                             "[S]\r\n"             // 4
                             "a = 1, \\\r\n"       // 5, continued
                             "    2\r\n"           // 6
                             "\r\n"                // 7
                             "b = %Str%\r\n"       // 8
                             "[Other]\r\n"         // 9
                             "x = y\r\n"           // 10
                             "[s]\n"               // 11
                             "c\n"                 // 12
                             "[Strings]\r\nStr = value\r\n";
    testing::Opened o = openBytes(text);
    ASSERT_TRUE(o.inf);
    uint32_t s = 0;
    ASSERT_TRUE(o.inf->findSection(u"S", &s));
    EXPECT_EQ(describe(*o.inf, "S"), "a : 1|2 / b : value / c : c");
    EXPECT_EQ(o.inf->sectionSourceLine(s), 4u);
    EXPECT_EQ(o.inf->sourceLine(s, 0), 5u);
    EXPECT_EQ(o.inf->sourceLine(s, 1), 8u);
    EXPECT_EQ(o.inf->sourceLine(s, 2), 12u);
    EXPECT_EQ(o.inf->sourceLine(s, 3), 0u);
    EXPECT_EQ(o.inf->sectionSourceLine(o.inf->sectionCount()), 0u);

    std::u16string raw;
    ASSERT_TRUE(o.inf->rawField(s, 1, 1, &raw));
    EXPECT_EQ(utf8(raw), "%Str%");
    ASSERT_TRUE(o.inf->rawField(s, 1, 0, &raw));
    EXPECT_EQ(utf8(raw), "b");
    EXPECT_FALSE(o.inf->rawField(s, 1, 2, &raw));
    EXPECT_FALSE(o.inf->rawField(s, 9, 0, &raw));
}

}  // namespace
}  // namespace infengine
