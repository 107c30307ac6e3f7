// SPDX-License-Identifier: GPL-3.0-or-later
#include "OTPCore/AccountSearch.hpp"

#include "OTPCore/Unicode.hpp"
#include "SiteHost.hpp"

#include <algorithm>
#include <cmath>
#include <unordered_map>

namespace zemlar::AccountSearch {
namespace {

bool isASCII(std::string_view text) {
    return std::all_of(text.begin(), text.end(),
                       [](char character) { return static_cast<unsigned char>(character) < 0x80; });
}

// Folds and collapses white space in one pass while the text is ASCII; false (and the output
// as it was) at the first byte that is not.
bool appendedNormalizedASCII(std::string& output, std::string_view text) {
    const std::size_t start = output.size();
    output.resize(start + text.size());
    char* const first = output.data() + start;
    char* cursor = first;
    bool spacePending = false;
    for (const char character : text) {
        const auto byte = static_cast<unsigned char>(character);
        if (byte >= 0x80) {
            output.resize(start);
            return false;
        }
        if (byte == ' ' || (byte >= '\t' && byte <= '\r')) {
            spacePending = cursor != first;
            continue;
        }
        if (spacePending) {
            *cursor++ = ' ';
            spacePending = false;
        }
        *cursor++ = byte >= 'A' && byte <= 'Z' ? static_cast<char>(byte + 32) : character;
    }
    output.resize(static_cast<std::size_t>(cursor - output.data()));
    return true;
}

void appendWithWhitespaceCollapsed(std::string& output, std::string_view folded) {
    bool spacePending = false;
    const std::size_t start = output.size();
    for (std::size_t offset = 0; offset < folded.size();) {
        const std::size_t here = offset;
        if (Unicode::isWhitespaceOrNewline(Unicode::nextCodePoint(folded, offset))) {
            spacePending = output.size() > start;
            continue;
        }
        if (spacePending) {
            output.push_back(' ');
            spacePending = false;
        }
        output.append(folded, here, offset - here);
    }
}

void appendNormalized(std::string& output, std::string_view text) {
    if (!appendedNormalizedASCII(output, text)) {
        appendWithWhitespaceCollapsed(output, Unicode::folded(text));
    }
}

bool isLetterOrNumberOnly(std::string_view text) {
    for (std::size_t offset = 0; offset < text.size();) {
        if (!Unicode::isLetterOrNumber(Unicode::nextCodePoint(text, offset))) {
            return false;
        }
    }
    return true;
}

// Reads the code point at `offset`, moving past it, and tells whether it is a letter or number.
bool isLetterOrNumberAt(std::string_view text, std::size_t& offset) {
    const auto byte = static_cast<unsigned char>(text[offset]);
    if (byte < 0x80) {
        ++offset;
        return (byte >= 'a' && byte <= 'z') || (byte >= '0' && byte <= '9') ||
               (byte >= 'A' && byte <= 'Z');
    }
    return Unicode::isLetterOrNumber(Unicode::nextCodePoint(text, offset));
}

// One word of the query with what is known about it before any account is looked at.
struct QueryWord {
    std::string_view text;
    bool canStartAWord;
    bool isASCII;
};

// Words are maximal runs of letters and numbers; a word that is all letters and numbers starts
// one of them exactly when it occurs at the start of a run.
bool hasWordStartingWith(std::string_view text, std::string_view word) {
    bool previousInWord = false;
    for (std::size_t offset = 0; offset < text.size();) {
        const std::size_t here = offset;
        const bool inWord = isLetterOrNumberAt(text, offset);
        if (inWord && !previousInWord && text[here] == word.front() &&
            text.compare(here, word.size(), word) == 0) {
            return true;
        }
        previousInWord = inWord;
    }
    return false;
}

bool isSubsequence(const QueryWord& word, std::string_view text) {
    const std::string_view needle = word.text;
    std::size_t wordOffset = 0;
    if (word.isASCII) {
        // An ASCII byte never equals a byte of a longer UTF-8 sequence.
        for (const char character : text) {
            if (character == needle[wordOffset] && ++wordOffset == needle.size()) {
                return true;
            }
        }
        return false;
    }
    std::size_t nextWordOffset = 0;
    char32_t wanted = Unicode::nextCodePoint(needle, nextWordOffset);
    for (std::size_t offset = 0; offset < text.size();) {
        if (Unicode::nextCodePoint(text, offset) != wanted) {
            continue;
        }
        wordOffset = nextWordOffset;
        if (wordOffset == needle.size()) {
            return true;
        }
        wanted = Unicode::nextCodePoint(needle, nextWordOffset);
    }
    return false;
}

// An account's normalised texts: issuer, a space and name in one text, and the group name.
struct AccountTexts {
    std::string_view joined;
    std::size_t issuerLength = 0;
    std::string_view group;

    std::string_view issuer() const { return joined.substr(0, issuerLength); }
    std::string_view name() const { return joined.substr(issuerLength + 1); }

    // The normalised "issuer name": the joined text without a space left by an empty part.
    std::string_view title() const {
        if (issuerLength == 0) {
            return name();
        }
        if (issuerLength + 1 == joined.size()) {
            return issuer();
        }
        return joined;
    }
};

std::optional<Match> groupMatchOf(const QueryWord& word, std::string_view group) {
    if (word.canStartAWord && hasWordStartingWith(group, word.text)) {
        return Match::wordPrefix;
    }
    if (group.find(word.text) != group.npos) {
        return Match::substring;
    }
    return std::nullopt;
}

std::optional<Match> matchOf(const QueryWord& word, const AccountTexts& texts) {
    // Whatever the issuer or the name contains is also a subsequence of the two joined, so a word
    // that is not one can only match through the group name.
    if (!isSubsequence(word, texts.joined)) {
        return groupMatchOf(word, texts.group);
    }
    const std::string_view issuer = texts.issuer();
    const std::string_view name = texts.name();
    if (issuer.starts_with(word.text) || name.starts_with(word.text)) {
        return Match::prefix;
    }
    if (word.canStartAWord &&
        (hasWordStartingWith(issuer, word.text) || hasWordStartingWith(name, word.text) ||
         hasWordStartingWith(texts.group, word.text))) {
        return Match::wordPrefix;
    }
    if (issuer.find(word.text) != issuer.npos || name.find(word.text) != name.npos ||
        texts.group.find(word.text) != texts.group.npos) {
        return Match::substring;
    }
    return Match::subsequence;
}

std::vector<QueryWord> queryWords(std::string_view normalizedQuery) {
    std::vector<QueryWord> words;
    while (!normalizedQuery.empty()) {
        const std::size_t space = normalizedQuery.find(' ');
        const std::string_view word = normalizedQuery.substr(0, space);
        words.push_back({word, isLetterOrNumberOnly(word), isASCII(word)});
        if (space == normalizedQuery.npos) {
            break;
        }
        normalizedQuery.remove_prefix(space + 1);
    }
    return words;
}

std::optional<Match> matchOf(const std::vector<QueryWord>& words, const AccountTexts& texts) {
    Match result = Match::prefix;
    for (const QueryWord& word : words) {
        const auto wordMatch = matchOf(word, texts);
        if (!wordMatch) {
            return std::nullopt;
        }
        result = std::min(result, *wordMatch);
    }
    return result;
}

using GroupNames = std::unordered_map<UUID, std::string>;

// The first group with an identifier wins, as a lookup in the list would find it.
GroupNames normalizedGroupNames(const Groups& groups) {
    GroupNames names;
    for (const AccountGroup& group : groups) {
        if (!names.contains(group.id)) {
            names.emplace(group.id, normalized(group.name));
        }
    }
    return names;
}

// Where an account's joined text lies in the arena that holds the texts of one ranking.
struct TextSpan {
    std::size_t start = 0;
    std::size_t issuerLength = 0;
    std::size_t length = 0;
};

TextSpan appendTexts(std::string& arena, const Account& account) {
    TextSpan span{arena.size(), 0, 0};
    appendNormalized(arena, account.issuer);
    span.issuerLength = arena.size() - span.start;
    arena.push_back(' ');
    appendNormalized(arena, account.name);
    span.length = arena.size() - span.start;
    return span;
}

std::string_view groupNameOf(const Account& account, const GroupNames& groupNames) {
    if (account.groupID) {
        if (const auto found = groupNames.find(*account.groupID); found != groupNames.end()) {
            return found->second;
        }
    }
    return {};
}

AccountTexts textsAt(std::string_view arena, const TextSpan& span, std::string_view group = {}) {
    return {arena.substr(span.start, span.length), span.issuerLength, group};
}

// Sixteen bytes of a title from `offset`, zero-padded, read as a big-endian number: numbers
// that differ order like the titles, so most comparisons never reach the texts.
std::uint64_t orderPrefix(std::string_view title, std::size_t offset) {
    std::uint64_t prefix = 0;
    for (std::size_t index = offset; index < offset + 8; ++index) {
        prefix <<= 8;
        if (index < title.size()) {
            prefix |= static_cast<unsigned char>(title[index]);
        }
    }
    return prefix;
}

struct Candidate {
    const Account* account;
    TextSpan texts;
};

// What the order looks at first, kept small so that sorting moves little memory.
struct SortKey {
    std::uint64_t titleHead;
    std::uint64_t titleNext;
    double frecency;
    std::uint32_t candidate;
    // Match and site match in one number, the match in the higher bits.
    std::int32_t fit;
};

std::int32_t fitOf(Match match, SiteMatch site) {
    return rawValue(match) * 4 + SiteMatches::rawValue(site);
}

} // namespace

std::string normalized(std::string_view text) {
    std::string output;
    appendNormalized(output, text);
    return output;
}

std::string normalizedByICU(std::string_view text) {
    std::string output;
    appendWithWhitespaceCollapsed(output, Unicode::foldedByICU(text));
    return output;
}

double frecency(const Account& account, Date now) {
    if (!account.lastUsedAt || account.useCount < 1) {
        return 0;
    }
    double age = now.secondsSince1970() - account.lastUsedAt->secondsSince1970();
    // Also catches a moment that is not a number, which would leave the ranking without order.
    if (!(age > 0)) {
        age = 0;
    }
    return std::log2(static_cast<double>(account.useCount) + 1) * std::exp2(-age / halfLife);
}

std::optional<Match> match(const Account& account, std::string_view query, const Groups& groups) {
    const std::string normalizedQuery = normalized(query);
    const GroupNames groupNames = normalizedGroupNames(groups);
    std::string arena;
    const TextSpan span = appendTexts(arena, account);
    return matchOf(queryWords(normalizedQuery),
                   textsAt(arena, span, groupNameOf(account, groupNames)));
}

std::vector<std::size_t> rank(const std::vector<Account>& accounts, std::string_view query,
                              Date now, const std::optional<std::string>& host,
                              const Groups& groups) {
    const std::string normalizedQuery = normalized(query);
    const std::vector<QueryWord> words = queryWords(normalizedQuery);
    const GroupNames groupNames = words.empty() ? GroupNames() : normalizedGroupNames(groups);
    const std::optional<Sites::NormalizedHost> site =
        host ? std::optional(Sites::NormalizedHost(*host)) : std::nullopt;

    std::string arena;
    std::size_t textSize = 0;
    for (const Account& account : accounts) {
        textSize += account.issuer.size() + account.name.size() + 1;
    }
    arena.reserve(textSize);
    std::vector<Candidate> candidates;
    std::vector<SortKey> keys;
    candidates.reserve(accounts.size());
    keys.reserve(accounts.size());
    for (const Account& account : accounts) {
        const TextSpan span = appendTexts(arena, account);
        const AccountTexts texts = textsAt(arena, span, groupNameOf(account, groupNames));
        const auto accountMatch = matchOf(words, texts);
        if (!accountMatch) {
            arena.resize(span.start);
            continue;
        }
        const SiteMatch siteMatch = site ? site->match(account) : SiteMatch::none;
        const std::string_view title = texts.title();
        keys.push_back({orderPrefix(title, 0), orderPrefix(title, 8), frecency(account, now),
                        static_cast<std::uint32_t>(candidates.size()),
                        fitOf(*accountMatch, siteMatch)});
        candidates.push_back({&account, span});
    }

    const auto precedes = [&arena, &candidates](const SortKey& left, const SortKey& right) {
        if (left.fit != right.fit) {
            return left.fit > right.fit;
        }
        if (left.frecency != right.frecency) {
            return left.frecency > right.frecency;
        }
        if (left.titleHead != right.titleHead) {
            return left.titleHead < right.titleHead;
        }
        if (left.titleNext != right.titleNext) {
            return left.titleNext < right.titleNext;
        }
        const Candidate& leftCandidate = candidates[left.candidate];
        const Candidate& rightCandidate = candidates[right.candidate];
        const int order = textsAt(arena, leftCandidate.texts)
                              .title()
                              .compare(textsAt(arena, rightCandidate.texts).title());
        if (order != 0) {
            return order < 0;
        }
        // Upper-case hexadecimal text orders like the bytes it spells.
        return leftCandidate.account->id < rightCandidate.account->id;
    };
    std::sort(keys.begin(), keys.end(), precedes);

    std::vector<std::size_t> ranked;
    ranked.reserve(keys.size());
    for (const SortKey& key : keys) {
        ranked.push_back(
            static_cast<std::size_t>(candidates[key.candidate].account - accounts.data()));
    }
    return ranked;
}

} // namespace zemlar::AccountSearch
