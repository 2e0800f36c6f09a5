#include "TestStub.h"
#include "builder/ProgressBar.h"
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <regex>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

namespace fs = std::filesystem;

std::string ReadText(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

struct Report {
    uint64_t done;
    uint64_t total;
    double elapsed;
};

struct ProgressCase {
    const char* name;
    bool terminal;
    std::vector<Report> reports;
    const char* expected; // all the bar writes, Finish included
};

class ProgressBarOutput : public testing::TestWithParam<ProgressCase> {};

TEST_P(ProgressBarOutput, DrawsOnlyOnATerminalAfterASecond)
{
    const ProgressCase& c = GetParam();
    FILE* out = tmpfile();
    ASSERT_NE(out, nullptr);
    ProgressBar bar(out, c.terminal);
    for (const Report& r : c.reports)
        bar.Update(r.done, r.total, r.elapsed);
    bar.Finish();
    std::string written(4096, '\0');
    rewind(out);
    written.resize(fread(written.data(), 1, written.size(), out));
    fclose(out);
    EXPECT_EQ(written, c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Builder, ProgressBarOutput,
    testing::Values(
        ProgressCase{ "NotATerminal", false, { { 0, 100000000, 0.2 }, { 50000000, 100000000, 5.0 } }, "" },
        ProgressCase{ "QuickBuild", true, { { 0, 100000000, 0.2 }, { 90000000, 100000000, 0.9 } }, "" },
        // 50 MB in the 2 s since the first report: 25 MB/s, 2 s for the other 50 MB.
        ProgressCase{ "SlowBuild",
                      true,
                      { { 0, 100000000, 0.5 }, { 50000000, 100000000, 2.5 } },
                      "\rcompressing [############............] 50.0 of 100.0 MB, 25.0 MB/s, 2 s left\033[K"
                      "\r\033[K" },
        // The first report past the delay has no rate yet; nothing is promised then.
        ProgressCase{ "NoRateYet",
                      true,
                      { { 30000000, 60000000, 1.5 } },
                      "\rcompressing [############............] 30.0 of 60.0 MB, 0.0 MB/s\033[K\r\033[K" }),
    [](const testing::TestParamInfo<ProgressCase>& info) { return info.param.name; });

// `quox build` itself, with its output going to files (not a terminal).
class BuildCommand : public testing::Test {
protected:
    void SetUp() override
    {
        m_directory = fs::temp_directory_path() / ("quox-command-test-" + std::to_string(getpid()));
        fs::create_directories(m_directory / "files");
        std::ofstream(m_directory / "files/a.txt") << std::string(20000, 'a');
        std::ofstream(m_directory / "files/b.txt") << "bee";
        std::ofstream(m_directory / "manifest.toml")
            << "[product]\nname = \"Output\"\n[package]\ncompression = \"fast\"\n[files.all]\nsource = \"files/*\"\n";
        std::string stub = MakeTestStub();
        std::ofstream(m_directory / "stub.exe", std::ios::binary).write(stub.data(), static_cast<std::streamsize>(stub.size()));
    }
    void TearDown() override { fs::remove_all(m_directory); }

    // Runs quox build with `options`; answers its exit status.
    int Build(const std::string& options)
    {
        std::string command = std::string("'") + QUOX_PROGRAM + "' build '" + (m_directory / "manifest.toml").string() +
                              "' -o '" + (m_directory / "setup.exe").string() + "' --stub '" +
                              (m_directory / "stub.exe").string() + "' " + options + " >'" +
                              (m_directory / "out").string() + "' 2>'" + (m_directory / "err").string() + "'";
        int status = std::system(command.c_str());
        m_out = ReadText(m_directory / "out");
        m_err = ReadText(m_directory / "err");
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    fs::path m_directory;
    std::string m_out;
    std::string m_err;
};

TEST_F(BuildCommand, NotATerminalGetsOneSummaryLine)
{
    ASSERT_EQ(Build(""), 0) << m_err;
    EXPECT_EQ(m_err, "");
    std::regex summary(".*setup\\.exe: (\\d+) bytes, 2 files of 20003 bytes \\(\\d+\\.\\d %\\), fast, \\d+\\.\\d\\d s\n");
    std::smatch match;
    ASSERT_TRUE(std::regex_match(m_out, match, summary)) << m_out;
    EXPECT_EQ(std::stoull(match[1]), fs::file_size(m_directory / "setup.exe"));
}

TEST_F(BuildCommand, QuietPrintsNothingButErrors)
{
    ASSERT_EQ(Build("--quiet --compression best"), 0) << m_err;
    EXPECT_EQ(m_out, "");
    EXPECT_EQ(m_err, "");
    EXPECT_TRUE(fs::exists(m_directory / "setup.exe"));

    fs::remove(m_directory / "files/b.txt");
    std::ofstream(m_directory / "manifest.toml", std::ios::app) << "[files.gone]\nsource = \"missing.txt\"\n";
    EXPECT_EQ(Build("--quiet"), 1);
    EXPECT_EQ(m_out, "");
    EXPECT_NE(m_err.find("missing.txt"), std::string::npos) << m_err;
}

TEST_F(BuildCommand, ThreadCountIsChecked)
{
    for (const char* bad : { "--threads 0", "--threads x", "--threads 257" }) {
        EXPECT_EQ(Build(bad), 2) << bad;
        EXPECT_NE(m_err.find("--threads takes a number from 1 to 256"), std::string::npos) << m_err;
    }
}

} // namespace
