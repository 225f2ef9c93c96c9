// Every program of the package answers --help and --version as command-line tools on Linux
// do: on standard output, nothing on standard error, exit status 0, whatever else is on the
// line.
#include <cstdio>
#include <gtest/gtest.h>
#include <string>
#include <sys/wait.h>

namespace {

struct Answer {
    int status = -1;
    std::string out, err;
};

Answer ask(const std::string& program, const std::string& arguments) {
    Answer a;
    const std::string errors = ::testing::TempDir() + "help-version-stderr";
    std::FILE* p = popen(
        ("cd " VRK_BINARY_DIR " && ./" + program + " " + arguments + " 2>" + errors).c_str(), "r");
    if (!p) return a;
    char buf[4096];
    for (std::size_t n; (n = std::fread(buf, 1, sizeof buf, p)) > 0;) a.out.append(buf, n);
    const int st = pclose(p);
    a.status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
    if (std::FILE* e = std::fopen(errors.c_str(), "r")) {
        for (std::size_t n; (n = std::fread(buf, 1, sizeof buf, e)) > 0;) a.err.append(buf, n);
        std::fclose(e);
    }
    return a;
}

TEST(HelpAndVersion, EveryProgramAnswersBoth) {
    const struct {
        const char* program;
        const char* usage;   // how its help begins
        const char* version; // what its version line says
    } programs[] = {
        {"vrkpack", "Usage: vrkpack create", "vrkpack (Tinselwave) " VRK_VERSION "\n"},
        {"scenedump", "Usage: scenedump FILE", "scenedump (Tinselwave) " VRK_VERSION "\n"},
        {"scenerender", "Usage: scenerender [--data FILE]",
         "scenerender (Tinselwave) " VRK_VERSION "\n"},
        {"vrkdisk", "Usage: tinselwave [--no-intro]", "tinselwave " VRK_VERSION "\n"},
    };
    for (const auto& p : programs) {
        SCOPED_TRACE(p.program);
        for (const char* help : {"--help", "-h", "list nothing.bin --help"}) {
            const Answer a = ask(p.program, help);
            EXPECT_EQ(a.status, 0) << help;
            EXPECT_EQ(a.err, "") << help;
            EXPECT_EQ(a.out.rfind(p.usage, 0), 0u) << a.out;
            EXPECT_NE(a.out.find("--version"), std::string::npos) << "the help names --version";
        }
        const Answer v = ask(p.program, "--version");
        EXPECT_EQ(v.status, 0);
        EXPECT_EQ(v.err, "");
        EXPECT_EQ(v.out, p.version);
    }
}

} // namespace
