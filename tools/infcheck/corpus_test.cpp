// infcheck over every INF of the real-world corpus: a report, never a crash.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "tools/infcheck/cli.h"
#include "tools/infcheck/json_reader.h"

namespace {

namespace fs = std::filesystem;

TEST(InfcheckCorpus, EveryFileGivesAReport) {
    const fs::path corpus = INFCHECK_CORPUS;
    std::error_code error;
    if (!fs::is_directory(corpus, error)) GTEST_SKIP() << "no corpus at " << corpus.string();

    std::vector<fs::path> files;
    for (const auto& entry : fs::directory_iterator(corpus, error)) {
        const std::string name = entry.path().filename().string();
        if (entry.is_regular_file() && name != "README.md" && name[0] != '.') files.push_back(entry.path());
    }
    std::sort(files.begin(), files.end());
    ASSERT_GE(files.size(), 20u);

    // The two files without a [Version] signature are not WIN4 INFs.
    const std::vector<std::string> refused = {"reactos-unattend.inf", "wds-autorun.inf"};
    for (const fs::path& file : files) {
        const std::string name = file.filename().string();
        std::string out;
        std::string err;
        const int code = runInfcheck({"--json", "--ids", file.string()}, out, err);
        JsonValue json;
        EXPECT_TRUE(JsonReader::parse(out, &json)) << name;
        EXPECT_EQ(json["exitCode"].number, code) << name;
        if (std::find(refused.begin(), refused.end(), name) != refused.end()) {
            EXPECT_EQ(code, 2) << name;
        } else {
            EXPECT_TRUE(code == 0 || code == 1) << name << ": " << err;
            EXPECT_TRUE(json["files"][0]["readable"].boolean) << name;
        }
        for (const char* form : {"--sarif", "--annotations"}) {
            std::string text;
            EXPECT_EQ(runInfcheck({form, file.string()}, text, err), code) << name << " " << form;
        }
        std::string text;
        EXPECT_EQ(runInfcheck({file.string()}, text, err), code) << name;
    }
    // The corpus as one folder: its .inf files, two of them not WIN4 INFs.
    std::string out;
    std::string err;
    EXPECT_EQ(runInfcheck({"--annotations", corpus.string()}, out, err), 2);
    EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 2) << err;
}

}  // namespace
