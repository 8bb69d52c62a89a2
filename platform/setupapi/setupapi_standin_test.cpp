// The eight INF functions of the stand-ins: open failures and their codes,
// the size-query protocol, the field and line walks, the information block.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <vector>

#include "platform/platform.h"
#include "platform/testing/scratch_dir.h"

namespace {

const char kInf[] =
    "[Version]\r\nSignature=\"$Windows NT$\"\r\nClass=Net\r\nCatalogFile=%Cat%\r\n"
    "[Models]\r\nk1 = a, b\r\njustvalue\r\nx, y\r\n"
    "[Other]\r\no = 1\r\n"
    "[models]\r\nk2 = %Name%\r\n"
    "[Empty]\r\n"
    "[Strings]\r\nCat = velk.cat\r\nName = \"a, b\"\r\n";

struct Handle {
    HINF inf;
    explicit Handle(HINF h) : inf(h) {}
    ~Handle() {
        if (inf != INVALID_HANDLE_VALUE) SetupCloseInfFile(inf);
    }
};

class OpenInf : public ::testing::Test {
protected:
    void SetUp() override {
        path = scratch.write("dir/velk.inf", kInf);
        UINT line = 77;
        inf = SetupOpenInfFileW(wstr(path.c_str()), nullptr, INF_STYLE_WIN4, &line);
        ASSERT_NE(inf, INVALID_HANDLE_VALUE) << GetLastError();
        EXPECT_EQ(line, 77u);  // untouched on success
    }
    void TearDown() override { SetupCloseInfFile(inf); }

    // Reads field index at the context with the size query; nullopt-like "#<error>" on failure.
    std::string field(const INFCONTEXT& context, DWORD index) {
        DWORD size = 0;
        SetLastError(0);
        if (!SetupGetStringFieldW(&context, index, nullptr, 0, &size)) return "#" + std::to_string(GetLastError());
        std::vector<WCHAR> buffer(size);
        if (!SetupGetStringFieldW(&context, index, buffer.data(), size, nullptr)) return "!";
        return std::string(buffer.begin(), buffer.end() - 1);
    }
    std::string lineText(const INFCONTEXT& context) {
        DWORD size = 0;
        if (!SetupGetLineTextW(&context, nullptr, nullptr, nullptr, nullptr, 0, &size)) return "#";
        std::vector<WCHAR> buffer(size);
        if (!SetupGetLineTextW(&context, nullptr, nullptr, nullptr, buffer.data(), size, nullptr)) return "!";
        return std::string(buffer.begin(), buffer.end() - 1);
    }

    ScratchDirectory scratch;
    std::u16string path;
    HINF inf = INVALID_HANDLE_VALUE;
};

TEST_F(OpenInf, WalkStaysInMergedSection) {
    INFCONTEXT context;
    ASSERT_TRUE(SetupFindFirstLineW(inf, wstr(u"MODELS"), nullptr, &context));
    std::vector<std::string> seen;
    do {
        seen.push_back(field(context, 0) + "=" + lineText(context));
    } while (SetupFindNextLine(&context, &context));
    EXPECT_EQ(GetLastError(), ERROR_LINE_NOT_FOUND);
    EXPECT_EQ(seen, (std::vector<std::string>{"k1=a,b", "justvalue=justvalue", "#87=x,y", "k2=a, b"}));
    // Past the end it keeps failing and leaves the context where it was.
    INFCONTEXT after = context;
    EXPECT_FALSE(SetupFindNextLine(&context, &after));
    EXPECT_EQ(after.Line, context.Line);
}

TEST_F(OpenInf, FieldsEndWithAFailureNeverWithEmptyText) {
    INFCONTEXT context;
    ASSERT_TRUE(SetupFindFirstLineW(inf, wstr(u"Models"), nullptr, &context));
    EXPECT_EQ(field(context, 1), "a");
    EXPECT_EQ(field(context, 2), "b");
    EXPECT_EQ(field(context, 3), "#87");
    EXPECT_EQ(field(context, 0xFFFFFFFF), "#87");
}

TEST_F(OpenInf, MissingAndEmptySections) {
    INFCONTEXT context;
    for (const char16_t* name : {u"Nowhere", u"Empty", u" Models"}) {
        SetLastError(0);
        EXPECT_FALSE(SetupFindFirstLineW(inf, wstr(name), nullptr, &context));
        EXPECT_EQ(GetLastError(), ERROR_LINE_NOT_FOUND);
    }
    ASSERT_TRUE(SetupFindFirstLineW(inf, wstr(u"models"), wstr(u"K2"), &context));
    EXPECT_EQ(field(context, 1), "a, b");
    EXPECT_FALSE(SetupFindFirstLineW(inf, wstr(u"models"), wstr(u"o"), &context));
    EXPECT_EQ(GetLastError(), ERROR_LINE_NOT_FOUND);
}

TEST_F(OpenInf, SizeQueryProtocol) {
    INFCONTEXT context;
    ASSERT_TRUE(SetupFindFirstLineW(inf, wstr(u"Models"), nullptr, &context));
    WCHAR buffer[8] = {u'?', u'?', u'?', u'?'};
    DWORD size = 0;
    struct Call {
        const char* name;
        WCHAR* buffer;
        DWORD size;
        BOOL ok;
    };
    // Field 1 is "a": 2 characters with the NUL. Line text "a,b": 4.
    for (Call c : {Call{"query", nullptr, 0, TRUE}, Call{"null_buffer_with_size", nullptr, 5, TRUE},
                   Call{"buffer_size_zero", buffer, 0, FALSE}, Call{"too_small", buffer, 1, FALSE},
                   Call{"exact", buffer, 2, TRUE}}) {
        SCOPED_TRACE(c.name);
        size = 0;
        SetLastError(0);
        EXPECT_EQ(SetupGetStringFieldW(&context, 1, c.buffer, c.size, &size), c.ok);
        EXPECT_EQ(size, 2u);
        if (!c.ok) {
            EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
            EXPECT_EQ(buffer[0], u'?');
        }
    }
    EXPECT_EQ(buffer[0], u'a');
    EXPECT_EQ(buffer[1], 0);
    EXPECT_FALSE(SetupGetLineTextW(&context, nullptr, nullptr, nullptr, buffer, 3, &size));
    EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
    EXPECT_EQ(size, 4u);
    // Without a context the line is found by section and key.
    ASSERT_TRUE(SetupGetLineTextW(nullptr, inf, wstr(u"Other"), wstr(u"O"), buffer, 8, nullptr));
    EXPECT_EQ(std::u16string(ustr(buffer)), u"1");
}

TEST_F(OpenInf, InformationAndOriginalName) {
    DWORD size = 0;
    ASSERT_TRUE(SetupGetInfInformationW(inf, INFINFO_INF_SPEC_IS_HINF, nullptr, 0, &size));
    std::vector<uint8_t> block(size);
    auto* info = reinterpret_cast<PSP_INF_INFORMATION>(block.data());
    EXPECT_FALSE(SetupGetInfInformationW(inf, INFINFO_INF_SPEC_IS_HINF, info, size - 1, nullptr));
    EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
    ASSERT_TRUE(SetupGetInfInformationW(inf, INFINFO_INF_SPEC_IS_HINF, info, size, nullptr));
    EXPECT_EQ(info->InfStyle, DWORD(INF_STYLE_WIN4));
    EXPECT_EQ(info->InfCount, 1u);

    SP_ORIGINAL_FILE_INFO_W original{};
    original.cbSize = sizeof original;
    ASSERT_TRUE(SetupQueryInfOriginalFileInformationW(info, 0, nullptr, &original));
    EXPECT_EQ(std::u16string(ustr(original.OriginalInfName)), u"velk.inf");
    EXPECT_EQ(std::u16string(ustr(original.OriginalCatalogName)), u"velk.cat");

    EXPECT_FALSE(SetupQueryInfOriginalFileInformationW(info, 1, nullptr, &original));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    original.cbSize = 0;
    EXPECT_FALSE(SetupQueryInfOriginalFileInformationW(info, 0, nullptr, &original));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_USER_BUFFER);
    std::vector<uint8_t> forged(size, 0);
    reinterpret_cast<PSP_INF_INFORMATION>(forged.data())->InfCount = 1;
    original.cbSize = sizeof original;
    EXPECT_FALSE(SetupQueryInfOriginalFileInformationW(reinterpret_cast<PSP_INF_INFORMATION>(forged.data()), 0,
                                                       nullptr, &original));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
}

TEST(SetupApiHandles, ClosedOrForgedHandlesAreRefused) {
    ScratchDirectory scratch;
    std::u16string path = scratch.write("a.inf", kInf);
    HINF inf = SetupOpenInfFileW(wstr(path.c_str()), nullptr, INF_STYLE_WIN4, nullptr);
    ASSERT_NE(inf, INVALID_HANDLE_VALUE);
    INFCONTEXT context;
    ASSERT_TRUE(SetupFindFirstLineW(inf, wstr(u"Other"), nullptr, &context));
    SetupCloseInfFile(inf);
    SetupCloseInfFile(inf);  // a second close does nothing
    DWORD size;
    EXPECT_FALSE(SetupGetStringFieldW(&context, 1, nullptr, 0, &size));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    EXPECT_FALSE(SetupFindFirstLineW(inf, wstr(u"Other"), nullptr, &context));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    int local = 0;
    EXPECT_FALSE(SetupGetInfInformationW(&local, INFINFO_INF_SPEC_IS_HINF, nullptr, 0, &size));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
}

struct OpenCase {
    const char* name;
    std::function<std::u16string(ScratchDirectory&)> prepare;
    DWORD error;
    UINT line;  // 77: untouched
    DWORD style = INF_STYLE_WIN4;
    const char16_t* infClass = nullptr;
};
void PrintTo(const OpenCase& c, std::ostream* os) { *os << c.name; }

class OpenFailures : public ::testing::TestWithParam<OpenCase> {};
TEST_P(OpenFailures, Code) {
    struct RestoreDirectory {
        std::filesystem::path saved = std::filesystem::current_path();
        ~RestoreDirectory() { std::filesystem::current_path(saved); }
    } restore;
    ScratchDirectory scratch;
    std::u16string path = GetParam().prepare(scratch);
    if (path.empty()) GTEST_SKIP() << "not testable as this user";
    UINT line = 77;
    SetLastError(0);
    Handle h(SetupOpenInfFileW(wstr(path.c_str()), wstr(GetParam().infClass), GetParam().style, &line));
    if (GetParam().error == 0) {
        EXPECT_NE(h.inf, INVALID_HANDLE_VALUE) << GetLastError();
    } else {
        EXPECT_EQ(h.inf, INVALID_HANDLE_VALUE);
        EXPECT_EQ(GetLastError(), GetParam().error);
    }
    EXPECT_EQ(line, GetParam().line);
}

std::u16string relative(ScratchDirectory& s) {
    s.write("rel.inf", kInf);
    std::filesystem::current_path(s.hostPath());
    return u"rel.inf";
}

INSTANTIATE_TEST_SUITE_P(Table, OpenFailures, ::testing::Values(
    OpenCase{"ok", [](ScratchDirectory& s) { return s.write("v.inf", kInf); }, 0, 77},
    OpenCase{"relative_to_current_directory", relative, 0, 77},
    OpenCase{"forward_slashes",
             [](ScratchDirectory& s) {
                 std::u16string p = s.write("d/v.inf", kInf);
                 for (char16_t& c : p) if (c == u'\\') c = u'/';
                 return p;
             }, 0, 77},
    OpenCase{"missing_file", [](ScratchDirectory& s) { return s.windowsPath("none.inf"); }, ERROR_FILE_NOT_FOUND, 77},
    OpenCase{"missing_directory", [](ScratchDirectory& s) { return s.windowsPath("nodir\\none.inf"); },
             ERROR_PATH_NOT_FOUND, 77},
    OpenCase{"directory", [](ScratchDirectory& s) { s.write("d/v.inf", kInf); return s.windowsPath("d"); },
             ERROR_ACCESS_DENIED, 77},
    OpenCase{"directory_trailing_backslash",
             [](ScratchDirectory& s) { s.write("d/v.inf", kInf); return s.windowsPath("d") + u"\\"; },
             ERROR_ACCESS_DENIED, 77},
    OpenCase{"backslash_after_file", [](ScratchDirectory& s) { return s.write("v.inf", kInf) + u"\\"; },
             ERROR_INVALID_NAME, 77},
    OpenCase{"file_as_directory", [](ScratchDirectory& s) { return s.write("v.inf", kInf) + u"\\x.inf"; },
             ERROR_PATH_NOT_FOUND, 77},
    OpenCase{"no_read_permission",
             [](ScratchDirectory& s) {
                 std::u16string p = s.write("v.inf", kInf);
                 if (geteuid() == 0) return std::u16string();
                 chmod((s.hostPath() / "v.inf").c_str(), 0);
                 return p;
             }, ERROR_ACCESS_DENIED, 77},
    OpenCase{"fifo",
             [](ScratchDirectory& s) {
                 mkfifo((s.hostPath() / "f.inf").c_str(), 0600);
                 return s.windowsPath("f.inf");
             }, ERROR_ACCESS_DENIED, 77},
    OpenCase{"over_64_mib",
             [](ScratchDirectory& s) {
                 std::u16string p = s.write("big.inf", "[Version]\r\n");
                 std::filesystem::resize_file(s.hostPath() / "big.inf", (64u << 20) + 1);
                 return p;
             }, ERROR_NOT_ENOUGH_MEMORY, 77},
    OpenCase{"bad_drive", [](ScratchDirectory&) { return std::u16string(u"Q:\\velk.inf"); }, ERROR_PATH_NOT_FOUND, 77},
    OpenCase{"empty_file", [](ScratchDirectory& s) { return s.write("v.inf", ""); }, ERROR_FILE_INVALID, 77},
    OpenCase{"wrong_style", [](ScratchDirectory& s) { return s.write("v.inf", "[Version]\r\nClass=Net\r\n"); },
             ERROR_WRONG_INF_STYLE, 0},
    OpenCase{"old_style_allowed", [](ScratchDirectory& s) { return s.write("v.inf", "[Version]\r\nClass=Net\r\n"); },
             0, 77, INF_STYLE_OLDNT | INF_STYLE_WIN4},
    OpenCase{"bad_header", [](ScratchDirectory& s) { return s.write("v.inf", "; c\r\n[Version\r\n"); },
             ERROR_BAD_SECTION_NAME_LINE, 2},
    OpenCase{"entry_first", [](ScratchDirectory& s) { return s.write("v.inf", std::string("a=1\r\n[Version]\r\nSignature=$Chicago$\r\n")); },
             ERROR_EXPECTED_SECTION_NAME, 1},
    OpenCase{"class_matches", [](ScratchDirectory& s) { return s.write("v.inf", kInf); }, 0, 77, INF_STYLE_WIN4,
             u"NET"},
    OpenCase{"class_mismatch", [](ScratchDirectory& s) { return s.write("v.inf", kInf); }, 0xE0000201, 77,
             INF_STYLE_WIN4, u"Display"},
    OpenCase{"no_style", [](ScratchDirectory& s) { return s.write("v.inf", kInf); }, ERROR_INVALID_PARAMETER, 77,
             INF_STYLE_NONE}));

}  // namespace
