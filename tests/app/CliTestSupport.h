// Running the built impostra-cli from a test: arguments and standard input
// in, exit status, standard output and standard error out, through files in
// a private temporary folder; or with standard error on a terminal. And a
// small reader of the JSON it prints.
#pragma once

#include <fcntl.h>
#include <gtest/gtest.h>
#include <pty.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cctype>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
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

// The example order 1000 2500 700 on ten ups with `options` before it.
inline std::vector<std::string> exampleWith(const std::vector<std::string>& options) {
    std::vector<std::string> args = {"--ups", "10"};
    args.insert(args.end(), options.begin(), options.end());
    args.insert(args.end(), {"--", "1000", "2500", "700"});
    return args;
}

// Refused as a bad command line: exit status 2, nothing printed, and one
// line on standard error that names `mention`.
inline void expectRefused(const Outcome& r, const std::string& mention) {
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.out, "");
    ASSERT_FALSE(r.err.empty());
    EXPECT_EQ(r.err.find('\n'), r.err.size() - 1) << r.err;
    EXPECT_NE(r.err.find(mention), std::string::npos) << r.err;
}

// Runs the built program with standard error on a new terminal and standard
// output to /dev/null; returns what the terminal saw, and the exit status in
// `status` (-1 when it did not exit normally).
inline std::string runOnTerminal(std::vector<std::string> args, int& status) {
    std::string path = IMPOSTRA_CLI_PATH;
    std::vector<char*> argv;
    argv.push_back(path.data());
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    status = -1;
    int master = -1;
    const pid_t child = forkpty(&master, nullptr, nullptr, nullptr);
    if (child < 0) return "";
    if (child == 0) {
        const int devNull = open("/dev/null", O_WRONLY);
        dup2(devNull, STDOUT_FILENO);
        execv(path.c_str(), argv.data());
        _exit(127);
    }
    std::string seen;
    char buffer[4096];
    for (ssize_t got; (got = read(master, buffer, sizeof buffer)) > 0;) seen.append(buffer, static_cast<size_t>(got));
    close(master);
    int raw = 0;
    waitpid(child, &raw, 0);
    if (WIFEXITED(raw)) status = WEXITSTATUS(raw);
    return seen;
}

// What a terminal saw of a progress line: one line, rewritten in place (no
// line end) and cleared at the end.
inline void expectOneProgressLine(const std::string& seen) {
    EXPECT_EQ(seen.find('\n'), std::string::npos) << "one line, rewritten";
    ASSERT_GE(seen.size(), 4u);
    EXPECT_EQ(seen.substr(seen.size() - 4), "\r\x1B[K") << "cleared at the end";
}

// --- a small JSON reader, enough for the program's output -------------------

struct Json {
    enum Kind { Null, Bool, Number, String, Array, Object } kind = Null;
    bool boolean = false;
    double number = 0;
    std::string text;  // a string's text, or a number as it was written
    std::vector<Json> items;
    std::map<std::string, Json> fields;

    bool has(const std::string& name) const { return fields.count(name) != 0; }
    const Json& operator[](const std::string& name) const {
        static const Json missing;
        auto it = fields.find(name);
        return it == fields.end() ? missing : it->second;
    }
    int64_t integer() const { return static_cast<int64_t>(number); }
};

class JsonReader {
public:
    explicit JsonReader(const std::string& text) : s_(text) {}
    bool read(Json& out) {
        if (!value(out)) return false;
        space();
        return i_ == s_.size();
    }

private:
    void space() {
        while (i_ < s_.size() && (s_[i_] == ' ' || s_[i_] == '\n' || s_[i_] == '\t' || s_[i_] == '\r')) ++i_;
    }
    bool literal(const char* word) {
        size_t n = std::char_traits<char>::length(word);
        if (s_.compare(i_, n, word) != 0) return false;
        i_ += n;
        return true;
    }
    bool string(std::string& out) {
        if (i_ >= s_.size() || s_[i_] != '"') return false;
        for (++i_; i_ < s_.size() && s_[i_] != '"'; ++i_) {
            if (s_[i_] == '\\') return false;  // the program writes no escapes
            out += s_[i_];
        }
        return i_++ < s_.size();
    }
    bool next(char c) { return i_ < s_.size() && s_[i_] == c; }
    bool value(Json& out) {
        space();
        if (i_ >= s_.size()) return false;
        const char c = s_[i_];
        if (c == '{') {
            out.kind = Json::Object;
            ++i_;
            space();
            if (next('}')) return ++i_, true;
            for (;;) {
                space();
                std::string name;
                if (!string(name) || out.has(name)) return false;
                space();
                if (!next(':')) return false;
                ++i_;
                if (!value(out.fields[name])) return false;
                space();
                if (next(',')) { ++i_; continue; }
                return next('}') && ++i_;
            }
        }
        if (c == '[') {
            out.kind = Json::Array;
            ++i_;
            space();
            if (next(']')) return ++i_, true;
            for (;;) {
                out.items.emplace_back();
                if (!value(out.items.back())) return false;
                space();
                if (next(',')) { ++i_; continue; }
                return next(']') && ++i_;
            }
        }
        if (c == '"') return out.kind = Json::String, string(out.text);
        if (literal("true")) return out.kind = Json::Bool, out.boolean = true, true;
        if (literal("false")) return out.kind = Json::Bool, true;
        if (literal("null")) return true;
        size_t end = i_;
        while (end < s_.size() && (std::isdigit(static_cast<unsigned char>(s_[end])) || s_[end] == '-' || s_[end] == '.'))
            ++end;
        if (end == i_) return false;
        out.kind = Json::Number;
        out.text = s_.substr(i_, end - i_);
        out.number = std::stod(out.text);
        i_ = end;
        return true;
    }

    const std::string& s_;
    size_t i_ = 0;
};

// The JSON a run printed, after checking its exit status and that it said
// nothing on standard error.
inline Json jsonOf(const Outcome& r, int expectedStatus) {
    EXPECT_EQ(r.status, expectedStatus) << r.err;
    EXPECT_EQ(r.err, "");
    Json json;
    EXPECT_TRUE(JsonReader(r.out).read(json)) << r.out;
    return json;
}

}  // namespace cli_test
