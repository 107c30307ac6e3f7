// SPDX-License-Identifier: GPL-3.0-or-later
// The commands of the built program in a terminal without a display: imports, the account list,
// codes, usage errors, and an import handed to the running instance.
#include <OTPCore/ExternalExports.hpp>
#include <OTPCore/OTPParameters.hpp>
#include <OTPCore/TOTP.hpp>
#include <ZemlarKit/QRImage.hpp>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <ostream>
#include <sstream>
#include <sys/wait.h>
#include <thread>

namespace zemlar {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

// RFC 6238's SHA-1 secret, "12345678901234567890", in Base32.
constexpr std::string_view rfcSecret = "GEZDGNBVGY3TQOJQGEZDGNBVGY3TQOJQ";

struct Outcome {
    int status = -1;
    std::string out;
    std::string err;

    bool operator==(const Outcome&) const = default;
    friend std::ostream& operator<<(std::ostream& stream, const Outcome& run) {
        return stream << "status " << run.status << ", out \"" << run.out << "\", err \"" << run.err
                      << "\"";
    }
};

std::string contents(const fs::path& file) {
    std::ostringstream text;
    text << std::ifstream(file, std::ios::binary).rdbuf();
    return text.str();
}

/// Data, settings and runtime folders of the program's own, removed at the end.
class Home {
public:
    /// `runtime`: the runtime folder of another home, to reach the instance started there.
    explicit Home(std::optional<fs::path> runtime = std::nullopt) {
        std::string pattern = (fs::temp_directory_path() / "zemlar-cli.XXXXXX").string();
        root_ = ::mkdtemp(pattern.data());
        runtime_ = runtime.value_or(root_ / "runtime");
        fs::create_directories(runtime_);
        fs::permissions(runtime_, fs::perms::owner_all);
    }
    ~Home() { fs::remove_all(root_); }
    Home(const Home&) = delete;
    Home& operator=(const Home&) = delete;

    const fs::path& runtime() const { return runtime_; }

    fs::path write(const std::string& name, std::string_view bytes) const {
        const fs::path file = root_ / name;
        std::ofstream(file, std::ios::binary).write(bytes.data(), std::streamsize(bytes.size()));
        return file;
    }

    std::string environment() const {
        return "env XDG_DATA_HOME=" + (root_ / "data").string() +
               " XDG_CONFIG_HOME=" + (root_ / "config").string() +
               " XDG_RUNTIME_DIR=" + runtime_.string() + " ";
    }

    Outcome zemlar(const std::string& arguments, std::string_view input = {}) const {
        const fs::path in = write("stdin", input);
        const std::string command = environment() + ZEMLAR_APP_PATH + " " + arguments + " <" +
                                    in.string() + " >" + (root_ / "stdout").string() + " 2>" +
                                    (root_ / "stderr").string();
        const int status = std::system(command.c_str());
        return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, contents(root_ / "stdout"),
                contents(root_ / "stderr")};
    }

private:
    fs::path root_;
    fs::path runtime_;
};

std::string link(std::string_view issuer, std::string_view name, std::string_view secret) {
    return "otpauth://totp/" + std::string(issuer) + ":" + std::string(name) +
           "?secret=" + std::string(secret) + "&issuer=" + std::string(issuer) + "&digits=8";
}

TEST(CommandLine, ImportsLinksAndAQRImageThenListsThemInTheAccountsScreensOrder) {
    const Home home;
    const fs::path links =
        home.write("links.txt", link("Zeta", "zed", rfcSecret) + "\nnot a link\n");
    const Bytes png = *QRImage::png(link("Acme", "alice", "JBSWY3DPEHPK3PXP"));
    const fs::path image = home.write("code.png", std::string(png.begin(), png.end()));

    EXPECT_EQ(home.zemlar("import " + links.string() + " " + image.string()),
              (Outcome{0,
                       links.string() +
                           ":\nAdded: 1\n  ✓ Zeta · zed\nSkipped: 1\n"
                           "  Untitled — not an otpauth link\n" +
                           image.string() + ":\nAdded: 1\n  ✓ Acme · alice\nSkipped: 0\n",
                       ""}));

    EXPECT_EQ(home.zemlar("list").out, "No Group\n  Acme · alice\n  Zeta · zed\n");
    const Outcome listed = home.zemlar("list --json");
    EXPECT_EQ(listed.out.find(rfcSecret), std::string::npos);
    const auto accounts = nlohmann::ordered_json::parse(listed.out);
    ASSERT_EQ(accounts.size(), 2U);
    auto first = accounts[0];
    EXPECT_EQ(first["id"].get<std::string>().size(), 36U);
    first.erase("id");
    EXPECT_EQ(first, nlohmann::ordered_json::parse(R"({"issuer": "Acme", "name": "alice",
        "group": null, "algorithm": "SHA1", "digits": 8, "period": 30})"));
    EXPECT_EQ(accounts[1]["issuer"], "Zeta");
}

TEST(CommandLine, CodePrintsTheCodeOfTheBestMatchAndFailsWhenNothingMatches) {
    const Home home;
    const fs::path links = home.write("links.txt", link("Acme", "alice", rfcSecret) + "\n" +
                                                       link("Other", "x", "JBSWY3DP") + "\n");
    ASSERT_EQ(home.zemlar("import " + links.string()).status, 0);

    const Outcome run = home.zemlar("code acm");
    const auto now = std::chrono::system_clock::now().time_since_epoch();
    const std::string secret = "12345678901234567890";
    const std::string expected = TOTP::code(Bytes(secret.begin(), secret.end()),
                                            Date(std::chrono::duration<double>(now).count()),
                                            *OTPParameters::make(OTPAlgorithm::sha1, 8, 30));
    // At least 4 s of the code were left when it was printed: in the last 4 s of a period the
    // command says so and prints the next period's code.
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, expected + "\n");
    EXPECT_TRUE(run.err.empty() ||
                run.err.starts_with("The code is about to expire, a new one in "))
        << run.err;

    EXPECT_EQ(home.zemlar("code 'no such account'"), (Outcome{1, "", "Nothing found\n"}));
}

TEST(CommandLine, UsageErrorsAndUnreadableFilesGiveOneLineOnStandardError) {
    const Home home;
    EXPECT_EQ(home.zemlar("frobnicate"),
              (Outcome{2, "", "Unknown command “frobnicate”. See “zemlar --help”.\n"}));
    EXPECT_EQ(home.zemlar("list --bogus"),
              (Outcome{2, "", "Unknown option “--bogus”. See “zemlar --help”.\n"}));
    EXPECT_EQ(home.zemlar("import"), (Outcome{2, "", "Missing argument. See “zemlar --help”.\n"}));

    const Outcome help = home.zemlar("--help");
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("  import [--password-stdin] FILE…\n"), std::string::npos);
    EXPECT_EQ(home.zemlar("code --help").out.rfind("Usage: zemlar code QUERY\n", 0), 0U);

    EXPECT_EQ(home.zemlar("import /nonexistent/links.txt"),
              (Outcome{1, "", "/nonexistent/links.txt: Couldn't read the file\n"}));
}

TEST(CommandLine, ARunningInstanceDoesTheImportAndSendsItsReport) {
    const Home instance;
    const fs::path pidFile = instance.write("pid", "");
    std::system((instance.environment() + "QT_QPA_PLATFORM=offscreen " + ZEMLAR_APP_PATH +
                 " >/dev/null 2>&1 & echo $! >" + pidFile.string())
                    .c_str());
    const pid_t pid = std::stoi(contents(pidFile));
    const fs::path socket = instance.runtime() / "app.zemlar.Zemlar-.socket";
    const auto deadline = std::chrono::steady_clock::now() + 30s;
    while (!fs::exists(socket) && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(100ms);
    }
    ASSERT_TRUE(fs::exists(socket)) << "the instance never listened";

    // Another data folder: had the command imported by itself, its own list would hold it.
    const Home command(instance.runtime());
    const fs::path links = command.write("links.txt", link("Acme", "alice", rfcSecret));
    EXPECT_EQ(command.zemlar("import " + links.string()),
              (Outcome{0, "Added: 1\n  ✓ Acme · alice\nSkipped: 0\n", ""}));
    EXPECT_EQ(command.zemlar("list").out, "No accounts yet\n");
    ::kill(pid, SIGTERM);
    EXPECT_EQ(instance.zemlar("list").out, "No Group\n  Acme · alice\n");
}

/// The first export of another app in the shared samples that a registered reader recognises
/// and that asks for a password.
std::optional<fs::path> encryptedExport() {
    const fs::path samples = fs::path(ZEMLAR_SHARED_TESTDATA) / "authenticator-exports";
    if (!fs::exists(samples)) {
        return std::nullopt;
    }
    for (const auto& entry : fs::recursive_directory_iterator(samples)) {
        const auto read = ExternalExports::read(contents(entry.path()));
        if (read && !*read && read->error() == ExportFailure::passwordNeeded) {
            return entry.path();
        }
    }
    return std::nullopt;
}

TEST(CommandLine, AWrongPasswordForAnEncryptedExportImportsNothing) {
    const auto file = encryptedExport();
    if (!file) {
        GTEST_SKIP() << "no reader of an encrypted export is registered";
    }
    const Home home;
    const auto run = home.zemlar("import --password-stdin " + file->string(), "not the password\n");
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(run.err.ends_with(": The password is wrong or the file is damaged.\n")) << run.err;
    EXPECT_EQ(home.zemlar("list").out, "No accounts yet\n");
}

/// How many of the accounts an export sample lists Zemlar can hold: TOTP ones with a digit count
/// and algorithm it supports.
std::size_t holdable(const nlohmann::json& accounts) {
    std::size_t count = 0;
    for (const auto& account : accounts) {
        const auto algorithm = account.value("algorithm", "SHA1");
        count += account.at("type") == "totp" &&
                 OTPParameters::isAllowedDigits(account.at("digits").get<std::int64_t>()) &&
                 (algorithm == "SHA1" || algorithm == "SHA256" || algorithm == "SHA512");
    }
    return count;
}

TEST(CommandLine, EverySampleExportOfASupportedAppImportsTheAccountsItHolds) {
    const fs::path samples = fs::path(ZEMLAR_SHARED_TESTDATA) / "authenticator-exports";
    if (!fs::exists(samples)) {
        GTEST_SKIP() << "The export samples are absent: " << samples;
    }
    const auto oracle = nlohmann::json::parse(contents(samples / "expected.json")).at("files");
    int imported = 0;
    for (const auto& [file, expected] : oracle.items()) {
        const fs::path path = samples / file;
        // Link lists and other apps' files have the Import screen's own tests; the export locked
        // to its app's account is refused, as the reader test shows.
        if (!ExternalExports::recognise(contents(path)) ||
            file.find("accountrestricted") != std::string::npos) {
            continue;
        }
        SCOPED_TRACE(file);
        const Home home;
        const auto& password = expected.at("password");
        const auto run =
            home.zemlar("import --password-stdin " + path.string(),
                        (password.is_string() ? password.get<std::string>() : "") + "\n");
        EXPECT_EQ(run.status, 0) << run.err;
        const auto listed = nlohmann::json::parse(home.zemlar("list --json").out);
        EXPECT_EQ(listed.size(), holdable(expected.at("accounts")));
        ++imported;
    }
    EXPECT_GE(imported, 40);
}

} // namespace
} // namespace zemlar
