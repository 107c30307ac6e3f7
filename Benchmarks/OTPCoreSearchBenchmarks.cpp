// SPDX-License-Identifier: GPL-3.0-or-later
// AccountSearch.rank over generated account lists, as the search panel calls it on every
// keystroke: nothing is cached between calls. Arguments: number of accounts, number of query
// words (0, 1 or 3), whether the active tab's host is given.
#include <OTPCore/AccountSearch.hpp>
#include <array>
#include <benchmark/benchmark.h>
#include <random>

namespace {

using namespace zemlar;

const Date now(1'700'000'000);

constexpr std::array<std::string_view, 24> issuers = {
    "Google",       "GitHub",    "Microsoft", "Amazon Web Services",
    "Dropbox",      "Slack",     "Discord",   "Cloudflare",
    "DigitalOcean", "Proton",    "Twitter",   "Facebook",
    "Reddit",       "Bitwarden", "Coinbase",  "Kraken",
    "PayPal",       "Stripe",    "GitLab",    "Atlassian",
    "Mozilla",      "Nextcloud", "Fastmail",  "Tutanota"};
constexpr std::array<std::string_view, 8> accentedIssuers = {
    "Société Générale", "Crédit Agricole", "Škoda Connect", "Zürich Versicherung",
    "Ärztekammer",      "Nubank Brasília", "Øresund Bank",  "Łódź Portal"};
constexpr std::array<std::string_view, 16> firstNames = {
    "anna", "ben", "carla", "david", "eva", "felix", "grace", "henry",
    "ines", "jon", "kai",   "lena",  "max", "nora",  "oskar", "paula"};
constexpr std::array<std::string_view, 6> accentedNames = {"zoë",    "jürgen", "françois",
                                                           "łukasz", "søren",  "josé"};
constexpr std::array<std::string_view, 6> mailDomains = {
    "example.com", "mail.org", "work.net", "uni-berlin.de", "home.io", "company.co.uk"};

template <class Texts> std::string_view pick(const Texts& texts, std::mt19937& random) {
    return texts[std::uniform_int_distribution<std::size_t>(0, texts.size() - 1)(random)];
}

UUID randomUUID(std::mt19937& random) {
    UUID::Storage bytes{};
    for (auto& byte : bytes) {
        byte = static_cast<std::uint8_t>(random());
    }
    return UUID(bytes);
}

struct Fixture {
    std::vector<Account> accounts;
    Groups groups;
};

Fixture generated(std::size_t count) {
    std::mt19937 random(static_cast<std::mt19937::result_type>(count));
    std::uniform_int_distribution<int> percent(0, 99);
    Fixture fixture;
    for (const char* name : {"Work", "Personal", "Família", "Finance"}) {
        fixture.groups.push_back({randomUUID(random), name});
    }
    for (std::size_t index = 0; index < count; ++index) {
        const bool accented = percent(random) < 10;
        const bool accentInIssuer = accented && percent(random) < 50;
        Account account{
            randomUUID(random),
            std::string(accentInIssuer ? pick(accentedIssuers, random) : pick(issuers, random)),
            "",
            OTPParameters::standard(),
            Date(1'600'000'000),
            std::nullopt,
            0,
            {},
            std::nullopt,
            false};
        account.name = std::string(accented && !accentInIssuer ? pick(accentedNames, random)
                                                               : pick(firstNames, random));
        account.name.append(".").append(pick(firstNames, random)).append("@");
        account.name.append(pick(mailDomains, random));
        if (percent(random) < 30) {
            account.groupID = fixture.groups[index % fixture.groups.size()].id;
        }
        if (percent(random) < 40) {
            account.useCount = std::uniform_int_distribution<std::int64_t>(1, 60)(random);
            account.lastUsedAt = Date(now.secondsSince1970() - percent(random) * 86'400.0);
        }
        if (percent(random) < 30) {
            std::string domain = account.issuer;
            std::erase(domain, ' ');
            for (char& character : domain) {
                character = static_cast<char>(std::tolower(static_cast<unsigned char>(character)));
            }
            account.domains.push_back(domain + ".com");
        }
        fixture.accounts.push_back(std::move(account));
    }
    return fixture;
}

// A query of that many words, each matching some of the generated accounts.
std::string_view queryOf(std::int64_t words) {
    switch (words) {
    case 0:
        return "";
    case 1:
        return "go";
    default:
        return "git anna com";
    }
}

void rank(benchmark::State& state) {
    const Fixture fixture = generated(static_cast<std::size_t>(state.range(0)));
    const std::string_view query = queryOf(state.range(1));
    const std::optional<std::string> host =
        state.range(2) != 0 ? std::optional<std::string>("accounts.github.com") : std::nullopt;
    std::size_t shown = 0;
    for (auto _ : state) {
        const auto ranked = AccountSearch::rank(fixture.accounts, query, now, host, fixture.groups);
        shown = ranked.size();
        benchmark::DoNotOptimize(ranked.data());
    }
    state.counters["shown"] = static_cast<double>(shown);
}

BENCHMARK(rank)
    ->ArgNames({"accounts", "words", "host"})
    ->ArgsProduct({{100, 1'000, 10'000}, {0, 1, 3}, {0, 1}})
    ->Unit(benchmark::kMicrosecond);

} // namespace
