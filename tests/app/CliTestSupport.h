// Running the built impostra-cli from a test: arguments and standard input
// in, exit status, standard output and standard error out, through files in
// a private temporary folder.
#pragma once

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace cli_test {

struct Outcome {
    int status = -1;
    std::string out, err;
    double seconds = 0;
};

inline std::string shellQuoted(const std::string& s) {
    std::string q = "'";
    for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

inline std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// Runs the built program through the shell, with `input` as its standard
// input; its standard output goes to `dir`/out unless `stdoutTarget` says
// where, as the shell writes it after '>' ("/dev/full", or "&-" to close it),
// and `out` then stays empty. `limits` are shell commands run before the
// program (such as "ulimit -v 32000").
inline Outcome runCli(const std::string& dir, const std::vector<std::string>& args, const std::string& input = "",
                      const std::string& stdoutTarget = "", const std::string& limits = "") {
    std::ofstream(dir + "/in", std::ios::binary) << input;
    std::remove((dir + "/out").c_str());
    std::string command = shellQuoted(IMPOSTRA_CLI_PATH);
    for (const auto& a : args) command += " " + shellQuoted(a);
    command += " <" + shellQuoted(dir + "/in") + " >" +
               (stdoutTarget.empty() ? shellQuoted(dir + "/out") : stdoutTarget) + " 2>" + shellQuoted(dir + "/err");
    if (!limits.empty()) command = "(" + limits + "; " + command + ")";
    const auto start = std::chrono::steady_clock::now();
    const int raw = std::system(command.c_str());
    Outcome r;
    r.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    r.out = readFile(dir + "/out");
    r.err = readFile(dir + "/err");
    return r;
}

// A private folder for the files of runCli.
class CliFolder {
public:
    CliFolder() {
        char pattern[] = "/tmp/impostra-cli-test-XXXXXX";
        if (mkdtemp(pattern)) path = pattern;
    }
    ~CliFolder() {
        for (const char* name : {"/in", "/out", "/err", "/order.txt"}) std::remove((path + name).c_str());
        if (!path.empty()) rmdir(path.c_str());
    }
    CliFolder(const CliFolder&) = delete;
    CliFolder& operator=(const CliFolder&) = delete;

    std::string path;  // empty when it could not be made
};

class CliRunner : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_FALSE(folder_.path.empty()); }

    Outcome run(const std::vector<std::string>& args, const std::string& input = "") {
        return runCli(dir_, args, input);
    }
    Outcome runRedirected(const std::vector<std::string>& args, const std::string& stdoutTarget,
                          const std::string& limits = "", const std::string& input = "") {
        return runCli(dir_, args, input, stdoutTarget, limits);
    }

    CliFolder folder_;
    const std::string dir_ = folder_.path;
};

}  // namespace cli_test
