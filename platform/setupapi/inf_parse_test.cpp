// Splitting of entries: comments, continuation, quoting, whitespace, empty
// fields, keys. Each case is the body of a section [S] after a valid
// [Version]; the expectation describes every line of [S] (see describe()).
#include <gtest/gtest.h>

#include "platform/setupapi/inf_test_support.h"

namespace infengine {
namespace {

using testing::describe;
using testing::kHead;
using testing::openBytes;

struct Case {
    const char* name;
    const char* body;
    const char* expected;
};

void PrintTo(const Case& c, std::ostream* os) { *os << c.name; }

std::string run(const Case& c) {
    testing::Opened o = openBytes(std::string(kHead) + "[S]\r\n" + c.body + "\r\n[Strings]\r\nFound = \"found value\"\r\n\"Semi;Key\" = semikey\r\n");
    if (!o.inf) return "open failed " + std::to_string(o.result.error);
    return describe(*o.inf, "S");
}

class Comments : public ::testing::TestWithParam<Case> {};
TEST_P(Comments, Split) { EXPECT_EQ(run(GetParam()), GetParam().expected); }
INSTANTIATE_TEST_SUITE_P(Table, Comments, ::testing::Values(
    Case{"after_value", "k = value ; note", "k : value"},
    Case{"inside_word", "k = a;b", "k : a"},
    Case{"quoted_is_text", "k = \"x ; y\" ; note", "k : x ; y"},
    Case{"key_only", "k6 ; note", "k6 : k6"},
    Case{"comment_lines_carry_nothing", "; one\r\n   ; two\r\n\r\nk = v", "k : v"},
    // Inside a %strkey% token too; quoted, the token is whole.
    Case{"inside_token", "k = %Semi;Key%, after", "k : %Semi"},
    Case{"inside_quoted_token", "k = \"%Semi;Key%\", after", "k : semikey|after"},
    Case{"percent_then_comment", "k = 50% ; note 100%", "k : 50%"},
    Case{"double_percent_then_comment", "k = a%%;b%", "k : a%"}));

class Continuation : public ::testing::TestWithParam<Case> {};
TEST_P(Continuation, Join) { EXPECT_EQ(run(GetParam()), GetParam().expected); }
INSTANTIATE_TEST_SUITE_P(Table, Continuation, ::testing::Values(
    Case{"next_field", "k = a, \\\r\n     b", "k : a|b"},
    Case{"no_space_kept", "k = a \\\r\nb", "k : ab"},
    Case{"blanks_after", "k = a, \\   \r\nb", "k : a|b"},
    Case{"comment_after", "k = a, \\ ; note\r\nb", "k : a|b"},
    // Documented: a comment line inside a continued entry is skipped.
    Case{"comment_line_skipped", "k = a, \\\r\n; note\r\nb", "k : a|b"},
    Case{"blank_line_ends", "k = a, \\\r\n\r\nb", "k : a| / b : b"},
    Case{"double_backslash", "k = ends\\\\\r\nnext", "k : endsnext"},
    Case{"blanks_between_backslashes", "k = a \\ \\\t\\ \r\nb", "k : ab"},
    Case{"backslash_not_last", "k = a \\ b\r\nc", "k : a \\ b / c : c"},
    Case{"triple_backslash", "k = ends\\\\\\\r\nnext", "k : endsnext"},
    Case{"quoted_backslash_then_continuation", "k7 = \"quoted\\\"\\\r\n, after", "k7 : quoted\\|after"},
    Case{"quoted_backslash_then_comment", "k8 = \"quoted\\\" ; comment ,notafter", "k8 : quoted\\"},
    Case{"never_inside_quotes", "k = \"inside \\\r\nquotes\"", "k : inside \\<CR> / quotes<CR> : quotes<CR>"},
    Case{"inside_key", "ke\\\r\ny = v", "key : v"},
    Case{"header_swallowed", "k = a \\\r\n[Next]\r\nn1 = 1", "k : a[Next] / n1 : 1"},
    Case{"backslash_elsewhere", "k = path\\to\\dir, x \\y", "k : path\\to\\dir|x \\y"},
    Case{"empty_value", "k = \\\r\nnext", "k : next"}));

class Quoting : public ::testing::TestWithParam<Case> {};
TEST_P(Quoting, Split) { EXPECT_EQ(run(GetParam()), GetParam().expected); }
INSTANTIATE_TEST_SUITE_P(Table, Quoting, ::testing::Values(
    Case{"comma", "q = \"a,b\", c", "q : a,b|c"},
    Case{"semicolon", "q = \"a;b\", c", "q : a;b|c"},
    Case{"equals", "q = \"a=b\", c", "q : a=b|c"},
    Case{"doubled", "q = \"say \"\"hi\"\"\", c", "q : say \"hi\"|c"},
    Case{"joined", "q = a\"b\"c, d", "q : abc|d"},
    Case{"blank_between", "q = \"a\" \"b\", c", "q : a b|c"},
    Case{"quoted_then_text", "q = \"a\"b, c", "q : ab|c"},
    Case{"empty_pair_outside", "q = a\"\"b, c", "q : ab|c"},
    Case{"padded", "q = \"  padded  \", c", "q :   padded  |c"},
    Case{"backslash", "q = \"a\\\"b", "q : a\\b"},
    Case{"empty", "q = \"\", c", "q : |c"},
    Case{"one_quote", "q = \"\"\"\"", "q : \""},
    Case{"two_quotes", "q = \"\"\"\"\"\"", "q : \"\""},
    Case{"quoted_key", "\"q11 key\" = v", "q11 key : v"},
    Case{"empty_quoted_key", "\"\" = v", " : v"},
    Case{"padded_key", "\" q21 \" = v", " q21  : v"},
    // The CR of a CRLF line end is text inside quotes.
    Case{"unterminated", "q1 = \"unterminated, c ; not a comment?\r\nnext = 1",
         "q1 : unterminated, c ; not a comment?<CR> / next : 1"}));

class Whitespace : public ::testing::TestWithParam<Case> {};
TEST_P(Whitespace, Trim) { EXPECT_EQ(run(GetParam()), GetParam().expected); }
INSTANTIATE_TEST_SUITE_P(Table, Whitespace, ::testing::Values(
    Case{"spaces", "   k1   =   v1   ", "k1 : v1"},
    Case{"tabs", "\tk3\t=\tv3\t,\tv4\t", "k3 : v3|v4"},
    Case{"inner_kept", "k4 = multi word value , second  field", "k4 : multi word value|second  field"},
    Case{"vt_ff", "k9 =\vv\f, w", "k9 : v|w"},
    Case{"nbsp_trimmed", "nbsp = \xC2\xA0x\xC2\xA0, y", "nbsp : \xC3\x82\xC2\xA0x\xC3\x82|y"},
    Case{"control_chars_are_text", "c = \x01x\x7F", "c : \x01x\x7F"}));

class EmptyFields : public ::testing::TestWithParam<Case> {};
TEST_P(EmptyFields, Count) { EXPECT_EQ(run(GetParam()), GetParam().expected); }
INSTANTIATE_TEST_SUITE_P(Table, EmptyFields, ::testing::Values(
    Case{"middle", "e = a, , c", "e : a||c"},
    Case{"middle_tight", "e = a,,c", "e : a||c"},
    Case{"trailing", "e = a,", "e : a|"},
    Case{"trailing_blank", "e = a, ", "e : a|"},
    Case{"only_comma", "e = ,", "e : |"},
    Case{"nothing", "e =", "e : "},
    Case{"nothing_tight", "e=", "e : "},
    Case{"keyless_comma", ",", "# : |"},
    Case{"keyless_commas", ", ,", "# : ||"}));

class Keys : public ::testing::TestWithParam<Case> {};
TEST_P(Keys, Split) { EXPECT_EQ(run(GetParam()), GetParam().expected); }
INSTANTIATE_TEST_SUITE_P(Table, Keys, ::testing::Values(
    Case{"one_value_is_key", "justvalue", "justvalue : justvalue"},
    Case{"quoted_value_is_key", "\"just quoted\"", "just quoted : just quoted"},
    Case{"two_values_no_key", "two, values", "# : two|values"},
    Case{"empty_key", "= onlyvalue", " : onlyvalue"},
    Case{"bare_equals", "=", " : "},
    Case{"later_equals_text", "a = b = c", "a : b = c"},
    Case{"double_equals", "a==b", "a : =b"},
    Case{"equals_after_comma", "x, y = z", "# : x|y = z"},
    Case{"token_key", "%Found%", "found value : found value"},
    Case{"token_key_with_value", "%Found% = v", "found value : v"}));

}  // namespace
}  // namespace infengine
