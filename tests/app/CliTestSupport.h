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

class CliRunner : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/impostra-cli-test-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir_ = pattern;
    }
    void TearDown() override {
        for (const char* name : {"/in", "/out", "/err", "/order.txt"}) std::remove((dir_ + name).c_str());
        rmdir(dir_.c_str());
    }

    Outcome run(const std::vector<std::string>& args, const std::string& input = "") {
        std::ofstream(dir_ + "/in", std::ios::binary) << input;
        std::string command = shellQuoted(IMPOSTRA_CLI_PATH);
        for (const auto& a : args) command += " " + shellQuoted(a);
        command += " <" + shellQuoted(dir_ + "/in") + " >" + shellQuoted(dir_ + "/out") + " 2>" + shellQuoted(dir_ + "/err");
        const auto start = std::chrono::steady_clock::now();
        const int raw = std::system(command.c_str());
        Outcome r;
        r.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
        r.out = readFile(dir_ + "/out");
        r.err = readFile(dir_ + "/err");
        return r;
    }

    std::string dir_;
};

}  // namespace cli_test
