// test_util.h — scratch folders, file helpers and log capture shared by the unit tests
#pragma once
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "foundation/logfile.h"

// Makes a fresh folder, enters it for the life of the object, then leaves and removes it.
// Tests run in parallel processes, so every test that touches files works in its own folder.
class ScratchDir {
  public:
    ScratchDir() {
        char pattern[] = "/tmp/kestrova_test_XXXXXX";
        char *made = mkdtemp(pattern);
        path_ = made ? made : "/tmp";
        char *cwd = getcwd(nullptr, 0);
        previous_ = cwd ? cwd : ".";
        free(cwd);
        if (chdir(path_.c_str()) != 0) path_.clear();
    }
    ~ScratchDir() {
        close_logfile();
        if (chdir(previous_.c_str()) != 0) return;
        if (!path_.empty() && path_ != "/tmp") {
            std::error_code ignored;
            std::filesystem::remove_all(path_, ignored);
        }
    }
    const std::string &path() const { return path_; }

  private:
    std::string path_;
    std::string previous_;
};

inline void write_text_file(const std::string &name, const std::string &text) {
    std::ofstream out(name, std::ios::binary);
    out << text;
}

inline std::string read_text_file(const std::string &name) {
    std::ifstream in(name, std::ios::binary);
    std::stringstream buffer;
    buffer << in.rdbuf();
    return buffer.str();
}

inline std::vector<std::string> read_lines(const std::string &name) {
    std::vector<std::string> lines;
    std::ifstream in(name);
    std::string line;
    while (std::getline(in, line)) lines.push_back(line);
    return lines;
}

// The log as written so far (every message is flushed when it is logged).
inline std::vector<std::string> log_lines() { return read_lines(LOGFILE_NAME); }

inline bool log_contains(const std::string &text) {
    for (const std::string &line : log_lines())
        if (line.find(text) != std::string::npos) return true;
    return false;
}
